// Form streaming: TWriter writes a component tree as text, TReader reads it back.
//
//   object Form1: TForm1
//     Caption = 'Codeweft'
//     Font.Name = 'MS Sans Serif'
//     OnCreate = FormCreate
//     CompNames = (
//       'Button1'
//       5)
//     object Panel1: TPanel
//       Align = alTop
//     end
//   end
//
// Published properties are written in published order, only when they differ from their
// default (a property without a default is always written) and when stored. Nested
// persistent properties are written as "Font.Name"; collections as "< item ... end >";
// events by the name of the root's published method. DefineProperties adds custom
// properties with their own read and write routines. After the properties the writer asks
// the component for its children (GetChildren) and writes each as a nested object.
// The reader creates each child through the class registry with the owner that the parent
// names (GetChildOwner, else the root), calls its ReadState, and calls Loaded on every
// component read once the whole tree is in. Bad input raises EReadError naming the line.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "framework/classes/Component.h"
#include "framework/classes/FormParser.h"

namespace framework {

class TReader;
class TWriter;
struct TPropInfo;

using TReaderProc = std::function<void(TReader&)>;
using TWriterProc = std::function<void(TWriter&)>;

class TFiler {
 public:
  virtual ~TFiler() = default;
  // A custom property: the reader calls read when it meets the name; the writer calls write
  // when hasData is true.
  virtual void DefineProperty(const std::string& name, TReaderProc read, TWriterProc write,
                              bool hasData) = 0;
  TComponent* Root() const { return FRoot; }

 protected:
  TComponent* FRoot = nullptr;
};

class TWriter : public TFiler {
 public:
  explicit TWriter(std::string& output) : FOut(output) {}

  void WriteRootComponent(TComponent* root);
  // Writes one component as "object Name: TClass ... end" (called for each child).
  void WriteComponent(TComponent* component);
  // The body of a component: its properties, then its children.
  void WriteData(TComponent* instance);

  void DefineProperty(const std::string& name, TReaderProc read, TWriterProc write,
                      bool hasData) override;

  // Values written by custom properties.
  void WriteListBegin();
  void WriteListEnd();
  void WriteString(const std::string& value);
  void WriteInteger(int64_t value);
  void WriteBoolean(bool value);
  void WriteFloat(double value);
  void WriteIdent(const std::string& ident);

  static std::string QuoteString(const std::string& value);
  static std::string FloatToText(double value);

 private:
  void WriteProperties(TPersistent* instance, const std::string& prefix);
  void WriteProperty(TPersistent* instance, const TPropInfo& prop, const std::string& prefix);
  void WriteCollection(class TCollection* collection);
  void BeginProperty(const std::string& path);
  void EndProperty();
  void WriteValueText(const std::string& text);
  void Indent(int level);

  std::string& FOut;
  int FLevel = 0;      // depth of the object being written
  int FPropLevel = 0;  // indentation of property lines
  int FListDepth = 0;
  std::string FPrefix;  // path prefix of the persistent whose custom properties are written
};

enum TValueType { vaNull, vaList, vaInteger, vaFloat, vaString, vaIdent, vaFalse, vaTrue, vaSet, vaCollection };

// Hooks that let a reader serve a designer, which loads forms whose classes and methods may
// not be compiled in. Each is optional; without them such input is an error.
struct TReaderHooks {
  // A class that is not registered (the root's or a child's): the class to create in its
  // place, or nullptr for the error. The stand-in keeps the stored class name and is
  // written back with it.
  std::function<const TMetaClass*(const std::string& className)> FindComponentClass;
  // A property (name or dotted path) that the component read does not have: true keeps it
  // with its value text in the component's KeptStreamData, and the writer writes it back.
  std::function<bool(TComponent& instance, const std::string& name)> PropertyNotFound;
  // An event naming a method that the root's class does not have: true keeps it the same
  // way (the event stays unassigned).
  std::function<bool(TComponent& instance, const std::string& event, const std::string& method)>
      MethodNotFound;
  // Reads in the designing state: csDesigning is set on the root and on every component
  // created, before its properties are read.
  bool Designing = false;
};

class TReader : public TFiler {
 public:
  explicit TReader(std::string_view text);
  ~TReader() override;

  // Reads the root object. With a root, its properties and children are read into it (its
  // class must be the one named); without, the root is created from the class registry
  // with owner as its owner. On failure the created root is freed and the error re-raised.
  TComponent* ReadRootComponent(TComponent* root, TComponent* owner = nullptr);
  // The properties and children of instance up to its "end".
  void ReadData(TComponent* instance);
  TComponent* Owner() const { return FOwner; }
  TComponent* Parent() const { return FParent; }
  void SetHooks(TReaderHooks hooks) { FHooks = std::move(hooks); }
  const TReaderHooks& Hooks() const { return FHooks; }

  void DefineProperty(const std::string& name, TReaderProc read, TWriterProc write,
                      bool hasData) override;

  // Values read by custom properties; a value of another type raises EReadError.
  TValueType NextValue() const;
  void ReadListBegin();
  void ReadListEnd();
  bool EndOfList() const;
  std::string ReadString();
  int64_t ReadInteger();
  bool ReadBoolean();
  double ReadFloat();
  std::string ReadIdent();
  int Line() const { return FParser.Line(); }

 private:
  TComponent* ReadComponent();
  void ReadProperty(TPersistent* instance, const std::string& ownerPath);
  void ReadPropValue(TPersistent* instance, const TPropInfo& prop);
  void ReadCollection(class TCollection* collection);
  // Reads past one value of any kind and returns its text as written.
  std::string ReadValueText();
  const TMetaClass* FindComponentClass(const std::string& cls, int line);
  bool KeepUnknown(TPersistent* instance, std::string path, bool midPath);
  [[noreturn]] void ValueError(std::string_view expected) const;
  void FixupReferences();

  struct TFixup {
    TComponent* Instance;
    const TPropInfo* Prop;
    std::string Name;
    int Line;
  };

  TFormParser FParser;
  TComponent* FOwner = nullptr;
  TComponent* FParent = nullptr;
  std::vector<TComponent*> FLoaded;
  std::vector<TFixup> FFixups;
  std::string FPendingName;  // the custom property being looked for
  bool FPendingFound = false;
  int FDepth = 0;
  TReaderHooks FHooks;
  TComponent* FCurrent = nullptr;  // the component whose properties are being read
  std::string FCurrentPath;        // the property being read, from the component
};

// Convenience: a whole tree to text and back.
std::string WriteComponentToText(TComponent& root);
TComponent* ReadComponentFromText(std::string_view text, TComponent* root = nullptr,
                                  TComponent* owner = nullptr,
                                  const TReaderHooks* hooks = nullptr);

}  // namespace framework
