// TAppForm, the example application's form class. Its form file (AppForm.form) is laid out
// in the form designer; the buttons there name the handlers published here, which the form
// reader binds when the application reads the file. Built into the application, and also as
// a package of its own (libappforms.so, entry AppformsRegister) that the designer loads, so
// that the designer lists these handlers for the form's events.
#pragma once

#include "framework/controls/Forms.h"
#include "framework/controls/StdCtrls.h"

#if defined(_WIN32)
#define APPFORMS_EXPORT __declspec(dllexport)
#else
#define APPFORMS_EXPORT __attribute__((visibility("default")))
#endif

namespace installedapp {

class TAppForm : public framework::TForm {
  FW_CLASS(TAppForm, framework::TForm)
 public:
  using TForm::TForm;

  // Brings the multi-pane's pane numbered by the sender's Tag to the front and says so in
  // the status label.
  void ShowPaneClick(framework::TObject* sender);
  // Closes the form.
  void QuitClick(framework::TObject* sender);

  // Filled in by the form reader.
  framework::TLabel* StatusLabel = nullptr;
};

// Registers TAppForm, so that a form file naming it can be read.
void Register();

}  // namespace installedapp

// The entry the designer looks up after loading libappforms.so.
extern "C" APPFORMS_EXPORT void AppformsRegister();
