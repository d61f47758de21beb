#include "framework/classes/Filer.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>

#include "framework/base/Exceptions.h"
#include "framework/base/Rtti.h"
#include "framework/classes/Collection.h"

namespace framework {

// ---- TWriter ---------------------------------------------------------------------------------

void TWriter::Indent(int level) { FOut.append(static_cast<size_t>(level) * 2, ' '); }

void TWriter::WriteRootComponent(TComponent* root) {
  FRoot = root;
  FLevel = 0;
  WriteComponent(root);
}

void TWriter::WriteComponent(TComponent* component) {
  component->SetComponentState(csWriting, true);
  Indent(FLevel);
  FOut += "object ";
  if (!component->Name().empty()) FOut += component->Name() + ": ";
  FOut += component->StreamedClassName();
  FOut += '\n';
  try {
    component->WriteState(*this);
  } catch (...) {
    component->SetComponentState(csWriting, false);
    throw;
  }
  Indent(FLevel);
  FOut += "end\n";
  component->SetComponentState(csWriting, false);
}

void TWriter::WriteData(TComponent* instance) {
  int savedProp = FPropLevel;
  FPropLevel = FLevel + 1;
  WriteProperties(instance, "");
  if (const TKeptStreamData* kept = instance->KeptStreamData())
    for (const auto& [name, text] : kept->Properties) {
      Indent(FPropLevel);
      FOut += name + " = " + text + "\n";
    }
  FPropLevel = savedProp;
  ++FLevel;
  instance->GetChildren([this](TComponent* child) { WriteComponent(child); }, FRoot);
  --FLevel;
}

void TWriter::WriteProperties(TPersistent* instance, const std::string& prefix) {
  for (const TPropInfo* p : instance->ClassType().Properties())
    if (p->IsStored(*instance)) WriteProperty(instance, *p, prefix);
  std::string saved = FPrefix;
  FPrefix = prefix;
  instance->DefineProperties(*this);
  FPrefix = saved;
}

void TWriter::WriteProperty(TPersistent* instance, const TPropInfo& p, const std::string& prefix) {
  const std::string path = prefix + p.Name;
  switch (p.Kind()) {
    case tkInteger:
    case tkEnumeration:
    case tkSet: {
      if (!p.SetOrd) return;
      int64_t v = p.GetOrd(*instance);
      if (p.HasDefault && v == p.DefaultOrd) return;
      std::string text;
      if (p.Kind() == tkEnumeration)
        text = p.Type->EnumName(v);
      else if (p.Kind() == tkSet)
        text = SetToString(*p.Type, v);
      else if (!(p.Type->IntToIdent && p.Type->IntToIdent(v, text)))
        text = std::to_string(v);
      BeginProperty(path);
      WriteValueText(text);
      EndProperty();
      return;
    }
    case tkFloat: {
      if (!p.SetFloat) return;
      double v = p.GetFloat(*instance);
      if (p.HasDefault && v == 0) return;
      BeginProperty(path);
      WriteValueText(FloatToText(v));
      EndProperty();
      return;
    }
    case tkString: {
      if (!p.SetStr) return;
      std::string v = p.GetStr(*instance);
      if (p.HasDefault && v.empty()) return;
      BeginProperty(path);
      WriteValueText(QuoteString(v));
      EndProperty();
      return;
    }
    case tkMethod: {
      if (!p.SetMethod) return;
      TMethodRef ref = p.GetMethod(*instance);
      if (!ref.Assigned || ref.Name.empty() || ref.Data != static_cast<TObject*>(FRoot)) return;
      BeginProperty(path);
      WriteValueText(ref.Name);
      EndProperty();
      return;
    }
    case tkClass: {
      TObject* obj = p.GetObj(*instance);
      if (!obj) return;
      if (auto* comp = dynamic_cast<TComponent*>(obj)) {
        if (!p.SetObj || comp->Name().empty()) return;
        BeginProperty(path);
        WriteValueText(comp->Name());
        EndProperty();
      } else if (auto* coll = dynamic_cast<TCollection*>(obj)) {
        if (coll->Count() == 0) return;
        BeginProperty(path);
        WriteCollection(coll);
        EndProperty();
      } else if (auto* pers = dynamic_cast<TPersistent*>(obj)) {
        WriteProperties(pers, path + ".");
      }
      return;
    }
  }
}

void TWriter::WriteCollection(TCollection* collection) {
  FOut += "<";
  int base = FPropLevel;
  for (int i = 0; i < collection->Count(); ++i) {
    FOut += '\n';
    Indent(base + 1);
    FOut += "item\n";
    FPropLevel = base + 2;
    WriteProperties(collection->Items(i), "");
    FPropLevel = base;
    Indent(base + 1);
    FOut += "end";
  }
  FOut += ">";
}

void TWriter::BeginProperty(const std::string& path) {
  Indent(FPropLevel);
  FOut += path;
  FOut += " = ";
  FListDepth = 0;
}

void TWriter::EndProperty() { FOut += '\n'; }

void TWriter::WriteValueText(const std::string& text) {
  if (FListDepth > 0) {
    FOut += '\n';
    Indent(FPropLevel + FListDepth);
  }
  FOut += text;
}

void TWriter::DefineProperty(const std::string& name, TReaderProc, TWriterProc write,
                             bool hasData) {
  if (!hasData || !write) return;
  BeginProperty(FPrefix + name);
  write(*this);
  while (FListDepth > 0) WriteListEnd();  // a routine that forgot to close its list
  EndProperty();
}

void TWriter::WriteListBegin() {
  WriteValueText("(");
  ++FListDepth;
}

void TWriter::WriteListEnd() {
  if (FListDepth == 0) throw EWriteError("List end without a list");
  --FListDepth;
  FOut += ")";
}

void TWriter::WriteString(const std::string& value) { WriteValueText(QuoteString(value)); }
void TWriter::WriteInteger(int64_t value) { WriteValueText(std::to_string(value)); }
void TWriter::WriteBoolean(bool value) { WriteValueText(value ? "True" : "False"); }
void TWriter::WriteFloat(double value) { WriteValueText(FloatToText(value)); }
void TWriter::WriteIdent(const std::string& ident) { WriteValueText(ident); }

std::string TWriter::QuoteString(const std::string& value) {
  std::string out;
  bool inQuotes = false;
  for (unsigned char c : value) {
    if (c < 32) {
      if (inQuotes) out += '\'';
      inQuotes = false;
      out += '#' + std::to_string(c);
    } else {
      if (!inQuotes) out += '\'';
      inQuotes = true;
      if (c == '\'') out += '\'';
      out += static_cast<char>(c);
    }
  }
  if (inQuotes) out += '\'';
  if (out.empty()) out = "''";
  return out;
}

std::string TWriter::FloatToText(double value) {
  if (!std::isfinite(value)) throw EWriteError("Cannot store a float that is not finite");
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, value);
  std::string s(buf, r.ptr);
  if (s.find_first_of(".e") == std::string::npos) s += ".0";
  return s;
}

// ---- TReader ---------------------------------------------------------------------------------

TReader::TReader(std::string_view text) : FParser(text) {
  detail::AddComponentDestroyedHook(this, [this](TComponent* c) {
    for (TComponent*& l : FLoaded)
      if (l == c) l = nullptr;
    std::erase_if(FFixups, [c](const TFixup& f) { return f.Instance == c; });
  });
}

TReader::~TReader() { detail::RemoveComponentDestroyedHook(this); }

TComponent* TReader::ReadRootComponent(TComponent* root, TComponent* owner) {
  if (!FParser.IsSymbol("object")) FParser.Expected("'object'");
  int line = FParser.Line();
  FParser.Next();
  std::string name, cls = FParser.ExpectSymbol("component name");
  if (FParser.IsChar(':')) {
    FParser.Next();
    name = cls;
    cls = FParser.ExpectSymbol("class name");
  }
  bool created = false;
  if (root) {
    if (!SameText(root->ClassName(), cls))
      throw EReadError(root->ClassName() + " expected but class " + cls + " found", line);
  } else {
    const TMetaClass* mc = FindComponentClass(cls, line);
    root = mc->Create(owner);
    created = true;
    if (!SameText(root->ClassName(), cls)) root->KeepStreamData().ClassName = cls;
  }
  if (FHooks.Designing) root->SetDesigning(true);
  FRoot = root;
  FOwner = root;
  FParent = nullptr;
  FLoaded.clear();
  try {
    root->SetComponentState(csLoading, true);
    root->SetComponentState(csReading, true);
    FLoaded.push_back(root);
    if (root->Name().empty() && !name.empty()) {
      try {
        root->SetName(name);
      } catch (const Exception& e) {
        throw EReadError(e.what(), line);
      }
    }
    root->ReadState(*this);
    if (FParser.Token() != ftEOF) FParser.Expected("end of file");
    FixupReferences();
    for (TComponent* c : FLoaded)
      if (c) c->SetComponentState(csReading, false);
    for (size_t i = 0; i < FLoaded.size(); ++i)
      if (FLoaded[i]) FLoaded[i]->Loaded();
  } catch (...) {
    for (TComponent* c : FLoaded)
      if (c) {
        c->SetComponentState(csReading, false);
        c->SetComponentState(csLoading, false);
      }
    FLoaded.clear();
    if (created) delete root;
    throw;
  }
  FLoaded.clear();
  return root;
}

void TReader::ReadData(TComponent* instance) {
  if (++FDepth > 200) FParser.Error("Objects are nested too deeply");
  TComponent* savedCurrent = FCurrent;
  FCurrent = instance;
  while (FParser.Token() == ftSymbol && !FParser.IsSymbol("end") && !FParser.IsSymbol("object"))
    ReadProperty(instance, instance->Name());
  FCurrent = savedCurrent;
  TComponent* savedOwner = FOwner;
  TComponent* savedParent = FParent;
  FParent = instance->GetChildParent();
  FOwner = instance->GetChildOwner();
  if (!FOwner) FOwner = FRoot;
  while (FParser.IsSymbol("object")) ReadComponent();
  FOwner = savedOwner;
  FParent = savedParent;
  if (!FParser.IsSymbol("end")) FParser.Expected("'end'");
  FParser.Next();
  --FDepth;
}

TComponent* TReader::ReadComponent() {
  int line = FParser.Line();
  FParser.Next();  // object
  std::string name, cls = FParser.ExpectSymbol("component name");
  if (FParser.IsChar(':')) {
    FParser.Next();
    name = cls;
    cls = FParser.ExpectSymbol("class name");
  }
  const TMetaClass* mc = FindComponentClass(cls, line);
  TComponent* c = nullptr;
  try {
    c = mc->Create(FOwner);
  } catch (const EReadError&) {
    throw;
  } catch (const std::exception& e) {
    throw EReadError("Error creating " + cls + ": " + e.what(), line);
  }
  size_t slot = FLoaded.size();
  FLoaded.push_back(c);
  if (!SameText(c->ClassName(), cls)) c->KeepStreamData().ClassName = cls;
  if (FHooks.Designing) c->SetDesigning(true, false);
  auto discard = [&] {
    if (FLoaded[slot]) {
      FLoaded[slot] = nullptr;
      delete c;
    }
  };
  try {
    c->SetComponentState(csLoading, true);
    c->SetComponentState(csReading, true);
    if (!name.empty()) {
      try {
        c->SetName(name);
      } catch (const EReadError&) {
        throw;
      } catch (const std::exception& e) {
        throw EReadError(e.what(), line);
      }
    }
    c->ReadState(*this);
  } catch (const EReadError&) {
    discard();
    throw;
  } catch (const std::exception& e) {
    discard();
    throw EReadError("Error reading " + (name.empty() ? cls : name) + ": " + e.what(), line);
  }
  return c;
}

void TReader::ReadProperty(TPersistent* instance, const std::string& ownerPath) {
  int line = FParser.Line();
  std::string propName = FParser.ExpectSymbol("property name");
  std::string full = propName;
  TPersistent* target = instance;
  try {
    while (FParser.IsChar('.')) {
      FParser.Next();
      const TPropInfo* p = target->ClassType().FindProperty(propName);
      if (!p) {
        if (KeepUnknown(instance, full, true)) return;
        throw EPropertyError("Property " + propName + " does not exist");
      }
      TPersistent* sub = p->Kind() == tkClass ? dynamic_cast<TPersistent*>(p->GetObj(*target)) : nullptr;
      if (!sub) throw EPropertyError("Property " + propName + " has no properties");
      target = sub;
      propName = FParser.ExpectSymbol("property name");
      full += "." + propName;
    }
    FParser.ExpectChar('=');
    if (const TPropInfo* p = target->ClassType().FindProperty(propName)) {
      FCurrentPath = instance == FCurrent ? full : std::string();
      ReadPropValue(target, *p);
    } else {
      FPendingName = propName;
      FPendingFound = false;
      target->DefineProperties(*this);
      bool found = FPendingFound;
      FPendingName.clear();
      if (!found && KeepUnknown(instance, full, false)) return;
      if (!found) throw EPropertyError("Property " + propName + " does not exist");
    }
  } catch (const EReadError&) {
    throw;
  } catch (const std::exception& e) {
    std::string where = ownerPath.empty() ? full : ownerPath + "." + full;
    throw EReadError("Error reading " + where + ": " + e.what(), line);
  }
}

const TMetaClass* TReader::FindComponentClass(const std::string& cls, int line) {
  const TMetaClass* mc = GetClass(cls);
  if (!mc && FHooks.FindComponentClass) mc = FHooks.FindComponentClass(cls);
  if (!mc) throw EClassNotFound("Class " + cls + " not found", line);
  if (!mc->CanCreate()) throw EReadError("Class " + cls + " cannot be created", line);
  return mc;
}

// A property the component being read does not have, named by path. midPath: the path
// stopped at a '.' whose next element, and the rest of the path up to '=', are still to
// come; else the parser stands at the value.
bool TReader::KeepUnknown(TPersistent* instance, std::string path, bool midPath) {
  if (instance != FCurrent || !FHooks.PropertyNotFound) return false;
  if (midPath) {
    path += "." + FParser.ExpectSymbol("property name");
    while (FParser.IsChar('.')) {
      FParser.Next();
      path += "." + FParser.ExpectSymbol("property name");
    }
    FParser.ExpectChar('=');
  }
  if (!FHooks.PropertyNotFound(*FCurrent, path)) return false;
  std::string text = ReadValueText();
  FCurrent->KeepStreamData().Properties.emplace_back(std::move(path), std::move(text));
  return true;
}

std::string TReader::ReadValueText() {
  size_t start = FParser.TokenStart();
  int depth = 0;
  do {
    if (FParser.Token() == ftEOF) FParser.Expected("value");
    if (FParser.Token() == ftChar) {
      char c = FParser.TokenChar();
      if (c == '(' || c == '[' || c == '<') ++depth;
      if (c == ')' || c == ']' || c == '>') --depth;
    }
    FParser.Next();
  } while (depth > 0);
  std::string_view text = FParser.Source(start, FParser.PreviousEnd());
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
    text.remove_suffix(1);
  return std::string(text);
}

void TReader::DefineProperty(const std::string& name, TReaderProc read, TWriterProc, bool) {
  if (FPendingName.empty() || !SameText(name, FPendingName)) return;
  FPendingName.clear();
  FPendingFound = true;
  if (!read) throw EPropertyError("Property " + name + " cannot be read");
  read(*this);
}

void TReader::ValueError(std::string_view expected) const {
  throw EPropertyError(std::string(expected) + " expected but " + FParser.Describe() + " found");
}

void TReader::ReadPropValue(TPersistent* target, const TPropInfo& p) {
  if (p.Kind() != tkClass && !p.Writable())
    throw EPropertyError("Property " + p.Name + " is read-only");
  switch (p.Kind()) {
    case tkInteger: {
      int64_t v = 0;
      if (FParser.Token() == ftInteger) {
        v = FParser.TokenInt();
      } else if (FParser.Token() == ftSymbol && p.Type->IdentToInt &&
                 p.Type->IdentToInt(FParser.TokenString(), v)) {
      } else {
        ValueError("Integer value");
      }
      if (&*p.Type == &IntegerTypeInfo() &&
          (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max()))
        throw EPropertyError("Value " + std::to_string(v) + " is out of range");
      FParser.Next();
      p.SetOrd(*target, v);
      return;
    }
    case tkEnumeration: {
      if (FParser.Token() != ftSymbol) ValueError(p.Type->Name + " value");
      int v = p.Type->EnumValue(FParser.TokenString());
      if (v < 0)
        throw EPropertyError("Invalid property value " + FParser.TokenString() + " for type " +
                             p.Type->Name);
      FParser.Next();
      p.SetOrd(*target, v);
      return;
    }
    case tkSet: {
      if (!FParser.IsChar('[')) ValueError("Set value");
      FParser.Next();
      uint64_t mask = 0;
      while (!FParser.IsChar(']')) {
        if (FParser.Token() != ftSymbol) ValueError("Set element");
        int v = p.Type->ElementType->EnumValue(FParser.TokenString());
        if (v < 0 || v >= 64)
          throw EPropertyError("Invalid set element " + FParser.TokenString() + " for " + p.Name);
        mask |= uint64_t{1} << v;
        FParser.Next();
        if (FParser.IsChar(',')) {
          FParser.Next();
        } else if (!FParser.IsChar(']')) {
          ValueError("',' or ']'");
        }
      }
      FParser.Next();
      p.SetOrd(*target, static_cast<int64_t>(mask));
      return;
    }
    case tkFloat: {
      double v;
      if (FParser.Token() == ftFloat)
        v = FParser.TokenFloat();
      else if (FParser.Token() == ftInteger)
        v = static_cast<double>(FParser.TokenInt());
      else
        ValueError("Float value");
      FParser.Next();
      p.SetFloat(*target, v);
      return;
    }
    case tkString: {
      if (FParser.Token() != ftString) ValueError("String value");
      std::string v = FParser.TokenString();
      FParser.Next();
      p.SetStr(*target, v);
      return;
    }
    case tkMethod: {
      if (FParser.Token() != ftSymbol) ValueError("Method name");
      std::string name = FParser.TokenString();
      const TMethodInfo* m = FRoot->ClassType().FindMethod(name);
      if (!m && FCurrent && !FCurrentPath.empty() && FHooks.MethodNotFound &&
          FHooks.MethodNotFound(*FCurrent, FCurrentPath, name)) {
        FParser.Next();
        FCurrent->KeepStreamData().Properties.emplace_back(FCurrentPath, name);
        return;
      }
      if (!m) throw EPropertyError("Method " + name + " not found in class " + FRoot->ClassName());
      FParser.Next();
      try {
        p.SetMethod(*target, m->Make(FRoot));
      } catch (const EPropertyError&) {
        throw EPropertyError("Method " + name + " does not fit the event " + p.Name);
      }
      return;
    }
    case tkClass: {
      TObject* obj = p.GetObj(*target);
      if (auto* coll = dynamic_cast<TCollection*>(obj); coll && FParser.IsChar('<')) {
        ReadCollection(coll);
        return;
      }
      if (FParser.Token() != ftSymbol) ValueError("Component name");
      if (!p.SetObj) throw EPropertyError("Property " + p.Name + " is read-only");
      std::string name = FParser.TokenString();
      int line = FParser.Line();
      FParser.Next();
      if (SameText(name, "nil")) {
        p.SetObj(*target, nullptr);
        return;
      }
      TComponent* ref = SameText(name, FRoot->Name()) ? FRoot : FRoot->FindComponent(name);
      if (ref) {
        p.SetObj(*target, ref);
      } else if (auto* comp = dynamic_cast<TComponent*>(target)) {
        FFixups.push_back({comp, &p, name, line});
      } else {
        throw EPropertyError("Component " + name + " not found");
      }
      return;
    }
  }
}

void TReader::ReadCollection(TCollection* collection) {
  FParser.ExpectChar('<');
  collection->Clear();
  while (FParser.IsSymbol("item")) {
    FParser.Next();
    TCollectionItem* item = collection->Add();
    std::string path = "item " + std::to_string(item->Index());
    while (FParser.Token() == ftSymbol && !FParser.IsSymbol("end")) ReadProperty(item, path);
    if (!FParser.IsSymbol("end")) FParser.Expected("'end'");
    FParser.Next();
  }
  FParser.ExpectChar('>');
}

void TReader::FixupReferences() {
  std::vector<TFixup> fixups;
  fixups.swap(FFixups);
  for (const TFixup& f : fixups) {
    TComponent* ref = SameText(f.Name, FRoot->Name()) ? FRoot : FRoot->FindComponent(f.Name);
    if (!ref)
      throw EReadError("Error reading " + f.Instance->Name() + "." + f.Prop->Name +
                           ": component " + f.Name + " not found",
                       f.Line);
    f.Prop->SetObj(*f.Instance, ref);
  }
}

TValueType TReader::NextValue() const {
  switch (FParser.Token()) {
    case ftInteger:
      return vaInteger;
    case ftFloat:
      return vaFloat;
    case ftString:
      return vaString;
    case ftSymbol:
      if (FParser.IsSymbol("True")) return vaTrue;
      if (FParser.IsSymbol("False")) return vaFalse;
      return vaIdent;
    case ftChar:
      if (FParser.IsChar('(')) return vaList;
      if (FParser.IsChar('[')) return vaSet;
      if (FParser.IsChar('<')) return vaCollection;
      return vaNull;
    default:
      return vaNull;
  }
}

void TReader::ReadListBegin() {
  if (!FParser.IsChar('(')) ValueError("List");
  FParser.Next();
}

void TReader::ReadListEnd() {
  if (!FParser.IsChar(')')) ValueError("')'");
  FParser.Next();
}

bool TReader::EndOfList() const { return FParser.IsChar(')') || FParser.Token() == ftEOF; }

std::string TReader::ReadString() {
  if (FParser.Token() != ftString) ValueError("String value");
  std::string v = FParser.TokenString();
  FParser.Next();
  return v;
}

int64_t TReader::ReadInteger() {
  if (FParser.Token() != ftInteger) ValueError("Integer value");
  int64_t v = FParser.TokenInt();
  FParser.Next();
  return v;
}

bool TReader::ReadBoolean() {
  bool v;
  if (FParser.IsSymbol("True"))
    v = true;
  else if (FParser.IsSymbol("False"))
    v = false;
  else
    ValueError("Boolean value");
  FParser.Next();
  return v;
}

double TReader::ReadFloat() {
  double v;
  if (FParser.Token() == ftFloat)
    v = FParser.TokenFloat();
  else if (FParser.Token() == ftInteger)
    v = static_cast<double>(FParser.TokenInt());
  else
    ValueError("Float value");
  FParser.Next();
  return v;
}

std::string TReader::ReadIdent() {
  if (FParser.Token() != ftSymbol) ValueError("Identifier");
  std::string v = FParser.TokenString();
  FParser.Next();
  return v;
}

// ---- convenience -------------------------------------------------------------------------------

std::string WriteComponentToText(TComponent& root) {
  std::string out;
  TWriter writer(out);
  writer.WriteRootComponent(&root);
  return out;
}

TComponent* ReadComponentFromText(std::string_view text, TComponent* root, TComponent* owner,
                                  const TReaderHooks* hooks) {
  TReader reader(text);
  if (hooks) reader.SetHooks(*hooks);
  return reader.ReadRootComponent(root, owner);
}

}  // namespace framework
