#include "framework/controls/StdRegister.h"

#include "framework/controls/Buttons.h"
#include "framework/controls/ComCtrls.h"
#include "framework/controls/Dialogs.h"
#include "framework/controls/ExtCtrls.h"
#include "framework/controls/FormStorage.h"
#include "framework/controls/Grids.h"
#include "framework/controls/ImgList.h"
#include "framework/controls/Menus.h"
#include "framework/controls/StdCtrls.h"
#include "framework/controls/ToolEdits.h"
#include "framework/design/DesignIntf.h"
#include "framework/messages/Timer.h"

namespace framework {

void RegisterStandardClasses() {
  RegisterClasses({&TComponent::StaticClass(), &TControl::StaticClass(), &TWinControl::StaticClass(),
                   &TCustomControl::StaticClass(), &TGraphicControl::StaticClass(),
                   &TCustomPanel::StaticClass(), &TPanel::StaticClass(), &TSpeedButton::StaticClass(),
                   &TButton::StaticClass(), &TLabel::StaticClass(), &TEdit::StaticClass(),
                   &TGroupBox::StaticClass(), &TRadioGroup::StaticClass(), &TCheckBox::StaticClass(),
                   &TProgressBar::StaticClass(), &TStatusBar::StaticClass(),
                   &TStringGrid::StaticClass(), &TCustomForm::StaticClass(), &TForm::StaticClass(),
                   &TActiveForm::StaticClass(), &TTimer::StaticClass(), &TOpenDialog::StaticClass(),
                   &TFilenameEdit::StaticClass(), &TDirectoryEdit::StaticClass(),
                   &TFormStorage::StaticClass()});
  RegisterClasses(
      {&TImageList::StaticClass(), &TPopupMenu::StaticClass(), &TMenuItem::StaticClass()});
}

void RegisterStandardComponents() {
  RegisterStandardClasses();
  RegisterComponents(
      "Standard",
      {&TLabel::StaticClass(), &TEdit::StaticClass(), &TButton::StaticClass(),
       &TSpeedButton::StaticClass(), &TPanel::StaticClass(), &TGroupBox::StaticClass(),
       &TRadioGroup::StaticClass(), &TProgressBar::StaticClass(), &TStatusBar::StaticClass(),
       &TStringGrid::StaticClass(), &TFilenameEdit::StaticClass(), &TDirectoryEdit::StaticClass()});
  RegisterComponents(
      "System", {&TTimer::StaticClass(), &TPopupMenu::StaticClass(), &TImageList::StaticClass(),
                 &TOpenDialog::StaticClass(), &TFormStorage::StaticClass()});
}

}  // namespace framework
