#include "script/fs_ibuilder.h"

#include <algorithm>
#include <unordered_map>

#include "script/fs_istatements.h"

namespace zentavo {

namespace {

using namespace build;

class Builder {
 public:
  Builder(TfsILParser& parser, TfsScript& program)
      : parser_(parser), program_(program), needDeclare_(parser.NeedDeclareVars()) {}

  void Build() {
    program_.ErrorUnitName.clear();
    unit_.clear();
    root_ = &parser_.SyntaxTree().Root();
    try {
      Block(*root_, program_);
    } catch (const ScriptError& e) {
      program_.ErrorMessage = e.what();
      program_.ErrorPosition = errorPos_;
      program_.ErrorUnitName = unit_;
    }
  }

 private:
  struct WithEntry {
    TfsItem* var;
    TypeRef type;
  };

  void Block(const TfsXMLItem& e, TfsScope& scope) {
    const TfsXMLItem* saved = block_;
    block_ = &e;
    Declare(e, scope);
    for (int i = 0; i < e.Count(); ++i) Statement(*e[i], scope, scope.Main());
    block_ = saved;
  }

  void Declare(const TfsXMLItem& e, TfsScope& scope) {
    for (int i = 0; i < e.Count(); ++i) {
      const TfsXMLItem& c = *e[i];
      if (Is(c, "procedure") || Is(c, "function")) DeclareProc(c, scope);
      else if (Is(c, "compoundstmt")) Declare(c, scope);
    }
  }

  void CheckNew(const std::string& name, TfsScope& scope) {
    if (scope.FindLocal(name)) Fail(ScriptMessage::SIdRedeclared, name);
  }

  void DeclareProc(const TfsXMLItem& e, TfsScope& scope) {
    bool isFunction = Is(e, "function");
    std::string name, typeName;
    TypeCode code = isFunction ? tcVariant : tcInteger;
    for (int i = 0; i < e.Count(); ++i) {
      const TfsXMLItem& c = *e[i];
      if (Is(c, "type") && isFunction) {
        errorPos_ = Pos(c);
        typeName = Text(c);
        code = FindType(typeName);
      } else if (Is(c, "name") && name.empty()) {
        errorPos_ = Pos(c);
        name = Text(c);
        CheckNew(name, scope);
      }
    }
    if (LowerAscii(typeName) == "void") isFunction = false;
    auto item = std::make_unique<TfsItem>();
    item->kind = ItemKind::Proc;
    item->name = name;
    item->type = {isFunction ? code : tcInteger, isFunction ? typeName : ""};
    item->sourcePosition = Pos(e);
    item->proc = std::make_unique<TfsProc>(&program_, &scope);
    TfsProc& proc = *item->proc;
    proc.isFunction = isFunction;
    if (isFunction) {
      auto result = std::make_unique<TfsItem>();
      result->name = "Result";
      result->type = item->type;
      result->value = Variant::Null();
      proc.result = proc.local.Add(std::move(result));
    }
    TfsItem* raw = scope.Add(std::move(item));
    for (int i = 0; i < e.Count(); ++i)
      if (Is(*e[i], "parameters")) Parameters(*e[i], *raw->proc);
  }

  void Parameters(const TfsXMLItem& e, TfsProc& proc) {
    bool byRef = false;
    for (int i = 0; i < e.Count(); ++i) {
      const TfsXMLItem& c = *e[i];
      if (Is(c, "varparams")) {
        byRef = true;
      } else if (Is(c, "var")) {
        bool one = false;
        const VarLayout layout = LayoutOf(c);
        for (int k = 0; k < c.Count(); ++k) {
          const TfsXMLItem& p = *c[k];
          if (Is(p, "varparam")) {
            one = true;
          } else if (Is(p, "ident")) {
            errorPos_ = Pos(p);
            std::string name = Text(p);
            CheckNew(name, proc.local);
            auto item = Variable(c, layout, k, proc.local, byRef || one, true, nullptr, name);
            proc.params.push_back(proc.local.Add(std::move(item)));
            one = false;
          }
        }
        byRef = false;
      }
    }
  }

  TypeCode FindType(std::string name) {
    auto alias = [&](const TfsXMLItem* owner) {
      if (!owner) return false;
      // Found once per block: a block of n declarations asks n times.
      auto [known, fresh] = typesOf_.try_emplace(owner, nullptr);
      if (fresh) {
        const int t = owner->Find("types");
        known->second = t < 0 ? nullptr : owner->Items(t);
      }
      if (known->second == nullptr) return false;
      const TfsXMLItem& types = *known->second;
      int a = types.Find(name);
      if (a < 0) return false;
      name = types.Items(a)->Prop("type");
      return true;
    };
    if (!alias(block_)) alias(root_);
    TfsItem* item = program_.Find(name);
    TypeCode code = item ? item->type.code : tcClass;
    if (code == tcClass && !program_.FindClass(name)) Fail(ScriptMessage::SUnknownType, name);
    return code;
  }

  // What a declaration of several names shares, found once for all of them:
  // going through the element again for every name made a declaration of
  // n names take n * n steps.
  struct VarLayout {
    int type = -1;  // index of the type child
    bool typeFirst = false;
    std::vector<int> extras;  // indexes of the array and init children
  };

  static VarLayout LayoutOf(const TfsXMLItem& e) {
    VarLayout layout;
    for (int i = 0; i < e.Count(); ++i) {
      if (layout.type < 0 && Is(*e[i], "type")) {
        layout.type = i;
        layout.typeFirst = i == 0;
      }
      if (Is(*e[i], "array") || Is(*e[i], "init")) layout.extras.push_back(i);
    }
    return layout;
  }

  // The name at child `at` of the declaration `e`.
  std::unique_ptr<TfsItem> Variable(const TfsXMLItem& e, const VarLayout& layout, int at, TfsScope& scope,
                                    bool byRef, bool isParam, TfsStmtList* list, const std::string& name) {
    std::string declPos = errorPos_;
    std::string typeName = "Variant";
    const bool typeFirst = layout.typeFirst;
    if (layout.type >= 0) {
      typeName = Text(*e[layout.type]);
      errorPos_ = Pos(*e[layout.type]);
    }
    TypeCode code = FindType(typeName);
    TypeRef type{code, typeName};
    Variant value = InitialValue(code);
    const TfsXMLItem* init = nullptr;
    int dims = 0;
    // The array and init children after the name: up to the next name when
    // each name has its own, else all of them.
    for (auto x = std::upper_bound(layout.extras.begin(), layout.extras.end(), at); x != layout.extras.end(); ++x) {
      if (typeFirst) {
        bool nameBetween = false;
        for (int i = at + 1; i < *x && !nameBetween; ++i) nameBetween = Is(*e[i], "ident");
        if (nameBetween) break;
      }
      const TfsXMLItem& c = *e[*x];
      if (Is(c, "array")) {
        value = MakeArray(c, scope, dims);
        type.code = tcArray;
      } else {
        init = &c;
      }
    }
    auto item = std::make_unique<TfsItem>();
    item->name = name;
    item->kind = isParam ? ItemKind::Param
                 : (type.code == tcChar || type.code == tcString) ? ItemKind::StringVariable
                                                                  : ItemKind::Variable;
    item->type = type;
    item->sourcePosition = declPos;
    if (dims > 0) {
      item->arrayDims = dims;
      item->elementType = {code, typeName};
    }
    item->byReference = byRef;
    if (init && init->Count() > 0) {
      auto expr = Expression(*init->Items(0), scope);
      CheckStore(type, expr->Type());
      if (!list) {
        value = expr->Value();
        item->optional = true;
        item->defaultValue = value;
      } else {
        pendingInit_ = std::move(expr);
      }
    }
    item->Store(value);
    return item;
  }

  Variant MakeArray(const TfsXMLItem& e, TfsScope& scope, int& dims) {
    std::int32_t low[3] = {0, 0, 0}, high[3] = {0, 0, 0};
    dims = 0;
    for (int i = 0; i < e.Count(); ++i) {
      const TfsXMLItem& d = *e[i];
      if (!Is(d, "dim")) continue;
      if (dims == 3) throw ScriptError(msg::kArrayCreate);
      std::vector<std::int32_t> b;
      for (int k = 0; k < d.Count() && b.size() < 2; ++k)
        if (Is(*d[k], "expr")) b.push_back(Expression(*d[k], scope)->Value().ToInt32());
      if (b.size() == 2) {
        low[dims] = b[0];
        high[dims] = b[1];
      } else if (b.size() == 1) {
        high[dims] = b[0] - 1;
      }
      ++dims;
    }
    if (dims == 0) dims = 1;
    return Variant::Array(dims, low, high);
  }

  void CheckStore(const TypeRef& target, const TypeRef& value) {
    if (!AssignmentCompatible(target, value, &program_))
      throw ScriptError(IncompatibleTypesMessage(target, value));
  }

  // ---------------------------------------------------------- expressions

  std::unique_ptr<TfsExpression> Expression(const TfsXMLItem& e, TfsScope& scope) {
    auto expr = std::make_unique<TfsExpression>(&program_);
    AddItems(*expr, e, scope);
    expr->SetSourceText(SourceText(e));
    if (std::string pos = expr->Finish(); !pos.empty()) {
      errorPos_ = pos;
      Fail(ScriptMessage::SIncompatibleTypes);
    }
    return expr;
  }

  // The text an expression was written as, comments included: what
  // "macro" functions receive instead of the values. Positions inside an
  // included unit refer to the unit's own text, so those carry none.
  std::string SourceText(const TfsXMLItem& e) {
    if (!unit_.empty()) return {};
    int from = TextPosition(Pos(e));
    int to = TextPosition(e.Prop("pos1"));
    const std::string& text = parser_.Lexer().Text();
    if (from < 1 || to < from || static_cast<std::size_t>(to - 1) > text.size()) return {};
    return text.substr(static_cast<std::size_t>(from - 1), static_cast<std::size_t>(to - from));
  }
  int TextPosition(const std::string& xy) {
    std::size_t colon = xy.find(':');
    if (colon == std::string::npos) return -1;
    int line = 0, column = 0;
    auto r1 = std::from_chars(xy.data(), xy.data() + colon, line);
    auto r2 = std::from_chars(xy.data() + colon + 1, xy.data() + xy.size(), column);
    if (r1.ec != std::errc() || r2.ec != std::errc() || column < 1) return -1;
    return parser_.Lexer().GetPositionFromXY(column, line);
  }

  void AddItems(TfsExpression& expr, const TfsXMLItem& e, TfsScope& scope) {
    for (int i = 0; i < e.Count(); ++i) {
      const TfsXMLItem& c = *e[i];
      errorPos_ = Pos(c);
      expr.SetSourcePosition(errorPos_);
      std::string n = LowerAscii(c.Name);
      if (n == "op") {
        if (!expr.AddOperator(LowerAscii(Text(c)))) Fail(ScriptMessage::SIncompatibleTypes);
      } else if (n == "number" || n == "string") {
        expr.AddOperand(ParseConstant(Text(c)));
      } else if (n == "dsgn") {
        expr.AddOperand(Designator(c, scope));
      } else if (n == "new") {
        expr.AddOperand(Designator(Child(c, 0), scope, 1));
      } else if (n == "set") {
        expr.AddOperand(Set(c, scope));
      } else if (n == "expr") {
        AddItems(expr, c, scope);
      }
    }
  }

  std::unique_ptr<TfsSetExpression> Set(const TfsXMLItem& e, TfsScope& scope) {
    auto set = std::make_unique<TfsSetExpression>();
    for (int i = 0; i < e.Count(); ++i) {
      if (Is(*e[i], "expr")) set->AddEntry(Expression(*e[i], scope));
      else if (Is(*e[i], "range")) set->AddRangeMarker();
    }
    return set;
  }

  // ---------------------------------------------------------- designators

  // The argument expressions after child `i`, with their positions.
  ExprList Args(const TfsXMLItem& e, int& i, TfsScope& scope, std::vector<std::string>& positions) {
    ExprList args;
    while (i < e.Count() && Is(*e[i], "expr")) {
      errorPos_ = Pos(*e[i]);
      positions.push_back(errorPos_);
      args.push_back(Expression(*e[i], scope));
      ++i;
    }
    return args;
  }

  // Counts, defaults and types of the arguments of a call.
  void CheckArgs(ExprList& args, const std::vector<std::string>& positions, const std::string& stepPos,
                 const std::vector<TypeRef>& types, const std::vector<bool>& optional,
                 const std::vector<Variant>& defaults) {
    errorPos_ = stepPos;
    std::size_t required = 0;
    for (bool o : optional) required += o ? 0 : 1;
    if (args.size() < required) Fail(ScriptMessage::SNotEnoughParams);
    if (args.size() > types.size()) Fail(ScriptMessage::STooManyParams);
    for (std::size_t i = 0; i < args.size(); ++i) {
      errorPos_ = positions[i];
      CheckStore(types[i], args[i]->Type());
    }
    while (args.size() < types.size()) {
      auto c = std::make_unique<TfsExpression>(&program_);
      c->AddOperand(defaults[args.size()]);
      c->Finish();
      args.push_back(std::move(c));
    }
  }

  // The with statements around the designator, innermost first: a name
  // that is a member of a with object's class is that member. A Variant
  // with object takes every name the scopes do not know, resolved when it
  // runs.
  std::unique_ptr<Dsgn> WithMember(const std::string& name, const std::string& stepPos, ExprList& args,
                                   std::vector<std::string>& positions, TfsScope& scope, const TfsXMLItem& e,
                                   int& i) {
    for (auto it = withs_.rbegin(); it != withs_.rend(); ++it) {
      if (scope.FindLocal(it->var->name) != it->var) continue;
      if (it->type.code == tcVariant) {
        if (scope.Find(name)) return nullptr;
        return std::make_unique<LateMemberDsgn>(scope, std::make_unique<VarDsgn>(it->var), name, std::move(args));
      }
      TfsClassVariable* cls = program_.FindClass(it->type.name);
      if (!cls) Fail(ScriptMessage::SUnknownType, it->type.name);
      const TfsClassMember* m = cls->FindMember(name);
      if (!m) continue;
      if (m->kind == MemberKind::IndexProperty && args.empty()) TakeIndex(e, i, args, positions, scope);
      return Member(std::make_unique<VarDsgn>(it->var), *m, nullptr, args, positions, stepPos, scope);
    }
    return nullptr;
  }

  // A member the builder found, with its arguments checked and completed.
  std::unique_ptr<Dsgn> Member(std::unique_ptr<Dsgn> base, const TfsClassMember& m, const TfsClassVariable* named,
                               ExprList& args, const std::vector<std::string>& positions, const std::string& stepPos,
                               TfsScope& scope) {
    errorPos_ = stepPos;
    if (m.kind == MemberKind::Constructor && !named) Fail(ScriptMessage::SClassRequired);
    if (m.IsCallable()) {
      std::vector<TypeRef> types;
      std::vector<bool> optional;
      std::vector<Variant> defaults;
      for (const TfsParamDecl& p : m.decl.params) {
        types.push_back({p.typeCode, p.typeName});
        optional.push_back(p.optional);
        defaults.push_back(p.defaultValue);
      }
      CheckArgs(args, positions, stepPos, types, optional, defaults);
    } else if (!args.empty()) {
      Fail(ScriptMessage::STooManyParams);
    }
    return std::make_unique<ClassMemberDsgn>(scope, std::move(base), m, std::move(args), named);
  }

  // Obj.Items[i]: the bracket's expressions after an indexed property are its index.
  void TakeIndex(const TfsXMLItem& e, int& i, ExprList& args, std::vector<std::string>& positions,
                 TfsScope& scope) {
    if (i >= e.Count() || Text(*e[i]) != "[") Fail(ScriptMessage::SIndexRequired);
    errorPos_ = Pos(*e[i]);
    ++i;
    positions.clear();
    args = Args(e, i, scope, positions);
  }

  std::unique_ptr<Dsgn> First(const std::string& name, const std::string& stepPos, ExprList args,
                              std::vector<std::string>& positions, TfsScope& scope, const TfsXMLItem& e,
                              int& i) {
    if (auto d = WithMember(name, stepPos, args, positions, scope, e, i)) return d;
    TfsItem* item = scope.Find(name);
    if (!item) {
      if (needDeclare_) Fail(ScriptMessage::SIdUndeclared, name);
      auto v = std::make_unique<TfsItem>();
      v->name = name;
      v->type = {tcVariant, ""};
      v->value = Variant::Null();
      item = program_.Add(std::move(v));
    }
    std::vector<TypeRef> types;
    std::vector<bool> optional;
    std::vector<Variant> defaults;
    if (item->kind == ItemKind::Proc) {
      for (TfsItem* p : item->proc->params) {
        types.push_back(p->type);
        optional.push_back(p->optional);
        defaults.push_back(p->defaultValue);
      }
      CheckArgs(args, positions, stepPos, types, optional, defaults);
      return std::make_unique<ScriptCallDsgn>(item, std::move(args));
    }
    if (item->kind == ItemKind::HostMethod) {
      for (const TfsParamDecl& p : item->decl.params) {
        types.push_back({p.typeCode, p.typeName});
        optional.push_back(p.optional);
        defaults.push_back(p.defaultValue);
      }
      CheckArgs(args, positions, stepPos, types, optional, defaults);
      return std::make_unique<HostCallDsgn>(item, std::move(args), program_);
    }
    errorPos_ = stepPos;
    if (item->kind == ItemKind::Class) {
      // TFoo(x) is a typecast: one argument at most.
      if (args.size() > 1) Fail(ScriptMessage::STooManyParams);
      std::unique_ptr<TfsExpression> cast = args.empty() ? nullptr : std::move(args[0]);
      return std::make_unique<ClassDsgn>(scope, *item->cls, std::move(cast));
    }
    if (!args.empty()) Fail(ScriptMessage::STooManyParams);
    return std::make_unique<VarDsgn>(item);
  }

  // new TFoo(...): the class's Create with the arguments written after the name.
  std::unique_ptr<Dsgn> Construct(const std::string& name, const std::string& stepPos, ExprList args,
                                  const std::vector<std::string>& positions, TfsScope& scope) {
    errorPos_ = stepPos;
    TfsItem* item = scope.Find(name);
    if (!item && needDeclare_) Fail(ScriptMessage::SIdUndeclared, name);
    if (!item || item->kind != ItemKind::Class) Fail(ScriptMessage::SClassRequired);
    const TfsClassMember* ctor = item->cls->FindMember("Create");
    if (!ctor || ctor->kind != MemberKind::Constructor) Fail(ScriptMessage::SClassRequired);
    return Member(nullptr, *ctor, item->cls.get(), args, positions, stepPos, scope);
  }

  // Modes: 0 ordinary, 1 object creation (new).
  std::unique_ptr<Dsgn> Designator(const TfsXMLItem& e, TfsScope& scope, int mode = 0) {
    int n = e.Count();
    if (n == 0) Fail(ScriptMessage::SVarRequired);
    if (Is(*e[0], "addr")) {
      if (n != 2) Fail(ScriptMessage::SVarRequired);
      errorPos_ = Pos(*e[1]);
      return std::make_unique<ConstDsgn>(Variant::String(Text(*e[1])));
    }
    errorPos_ = Pos(*e[0]);
    std::string stepPos = errorPos_;
    std::string name = Text(*e[0]);
    int i = 1;
    std::vector<std::string> positions;
    ExprList args = Args(e, i, scope, positions);
    std::unique_ptr<Dsgn> d = mode == 1 ? Construct(name, stepPos, std::move(args), positions, scope)
                                        : First(name, stepPos, std::move(args), positions, scope, e, i);
    while (i < n) {
      const TfsXMLItem& c = *e[i++];
      errorPos_ = Pos(c);
      stepPos = errorPos_;
      std::string step = Text(c);
      positions.clear();
      ExprList more = Args(e, i, scope, positions);
      TypeRef t = d->Type();
      errorPos_ = stepPos;
      if (step != "[") {
        if (t.code == tcString || t.code == tcChar) Fail(ScriptMessage::SStringError);
        if (t.code == tcVariant) {
          d = std::make_unique<LateMemberDsgn>(scope, std::move(d), step, std::move(more));
          continue;
        }
        if (t.code == tcClass) {
          TfsClassVariable* cls = program_.FindClass(t.name);
          if (!cls) Fail(ScriptMessage::SUnknownType, t.name);
          const TfsClassMember* m = cls->FindMember(step);
          if (!m) Fail(ScriptMessage::SIdUndeclared, step);
          // TFoo.Create: the class written before the constructor is the
          // class of the new object.
          auto* named = dynamic_cast<ClassDsgn*>(d.get());
          const TfsClassVariable* cls0 = named && !named->IsCast() ? &named->Class() : nullptr;
          if (m->kind == MemberKind::IndexProperty && more.empty()) TakeIndex(e, i, more, positions, scope);
          if (cls0 && m->kind == MemberKind::Constructor) d.reset();
          d = Member(std::move(d), *m, cls0, more, positions, stepPos, scope);
          continue;
        }
        Fail(ScriptMessage::SArrayRequired);
      }
      if (more.empty()) Fail(ScriptMessage::SNotEnoughParams);
      if (t.code == tcClass) {
        TfsClassVariable* cls = program_.FindClass(t.name);
        if (!cls) Fail(ScriptMessage::SUnknownType, t.name);
        const TfsClassMember* m = cls->DefaultProperty();
        if (!m) throw ScriptError(FormatMessage(MessageText(ScriptMessage::SClassError).c_str(), cls->Name()));
        d = Member(std::move(d), *m, nullptr, more, positions, stepPos, scope);
        continue;
      }
      if (auto* late = dynamic_cast<LateMemberDsgn*>(d.get()); late && late->TakeBrackets(more)) continue;
      TypeRef result{tcVariant, ""};
      std::size_t most = 3;
      if (t.code == tcString || t.code == tcChar) {
        result = {tcChar, ""};
        most = 1;
      } else if (t.code == tcArray) {
        TfsItem* item = d->Item();
        if (item && item->arrayDims > 0) {
          result = item->elementType;
          if (more.size() < static_cast<std::size_t>(item->arrayDims)) Fail(ScriptMessage::SNotEnoughParams);
          most = static_cast<std::size_t>(item->arrayDims);
        }
      } else if (t.code != tcVariant) {
        Fail(ScriptMessage::SArrayRequired);
      }
      if (more.size() > most) Fail(ScriptMessage::STooManyParams);
      TfsScope* late = t.code == tcVariant ? &scope : nullptr;
      d = std::make_unique<IndexDsgn>(std::move(d), std::move(more), result, late);
    }
    return d;
  }

  // ----------------------------------------------------------- statements

  template <class T, class... A>
  T& Add(TfsStmtList& list, const TfsXMLItem& e, TfsScope& scope, A&&... a) {
    auto st = std::make_unique<T>(scope, Pos(e), unit_, std::forward<A>(a)...);
    T& ref = *st;
    list.push_back(std::move(st));
    program_.AddCodeLine(unit_, Pos(e));
    return ref;
  }

  void Children(const TfsXMLItem& e, int from, TfsScope& scope, TfsStmtList& list) {
    for (int i = from; i < e.Count(); ++i) Statement(*e[i], scope, list);
  }

  TfsItem* LoopVariable(const TfsXMLItem& c, TfsScope& scope) {
    errorPos_ = Pos(c);
    std::string name = Text(c);
    TfsItem* v = scope.Find(name);
    if (!v) {
      if (needDeclare_) Fail(ScriptMessage::SIdUndeclared, name);
      auto nv = std::make_unique<TfsItem>();
      nv->name = name;
      nv->type = {tcVariant, ""};
      nv->value = Variant::Null();
      v = program_.Add(std::move(nv));
    }
    if (v->kind != ItemKind::Variable || v->readOnly ||
        !(v->type.code == tcInteger || v->type.code == tcFloat || v->type.code == tcVariant))
      Fail(ScriptMessage::SForError);
    return v;
  }

  std::unique_ptr<TfsExpression> Bound(const TfsXMLItem& c, TfsScope& scope, TfsItem* var) {
    auto x = Expression(c, scope);
    errorPos_ = Pos(c);
    CheckStore(var->type, x->Type());
    return x;
  }

  void Assign(const TfsXMLItem& e, int first, TfsScope& scope, TfsStmtList& list, const TfsXMLItem& at) {
    errorPos_ = Pos(Child(e, first));
    std::unique_ptr<Dsgn> target = Designator(Child(e, first), scope);
    std::string mod = " ";
    int i = first + 1;
    if (i < e.Count() && Is(*e[i], "modificator")) mod = Text(*e[i++]);
    if (i >= e.Count()) Fail(ScriptMessage::SIncompatibleTypes);
    auto value = Expression(*e[i], scope);
    errorPos_ = Pos(*e[first]);
    if (target->IsReadOnly()) Fail(ScriptMessage::SLeftCantAssigned);
    errorPos_ = Pos(*e[i]);
    CheckStore(target->Type(), value->Type());
    if (mod == " ") mod = value->RewriteCompound(*target);
    char m = mod.empty() ? ' ' : mod[0];
    if (m != '+' && m != '-' && m != '*' && m != '/') m = ' ';
    Add<AssignStmt>(list, at, scope, std::move(target), std::move(value), m);
  }

  void Statement(const TfsXMLItem& e, TfsScope& scope, TfsStmtList& list) {
    std::string n = LowerAscii(e.Name);
    if (!Pos(e).empty()) errorPos_ = Pos(e);
    if (n == "assignstmt") {
      if (e.Count() < 2) return;
      Assign(e, 0, scope, list, e);
    } else if (n == "callstmt") {
      auto d = Designator(Child(e, 0), scope);
      char m = ' ';
      if (e.Count() > 1) {
        std::string t = Text(Child(e, 1));
        m = t.empty() ? ' ' : t[0];
        errorPos_ = Pos(Child(e, 0));
        if (d->IsReadOnly()) Fail(ScriptMessage::SLeftCantAssigned);
      }
      Add<CallStmt>(list, e, scope, std::move(d), m);
    } else if (n == "ifstmt") {
      auto& st = Add<IfStmt>(list, e, scope);
      st.cond = Condition(Expression(Child(e, 0), scope));
      for (int i = 1; i < e.Count(); ++i) {
        if (Is(Child(e, i), "thenstmt")) Children(Child(e, i), 0, scope, st.then);
        else if (Is(Child(e, i), "elsestmt")) Children(Child(e, i), 0, scope, st.otherwise);
      }
    } else if (n == "casestmt") {
      auto& st = Add<CaseStmt>(list, e, scope);
      st.selector = Expression(Child(e, 0), scope);
      for (int i = 1; i < e.Count(); ++i) {
        const TfsXMLItem& c = Child(e, i);
        if (Is(c, "caseselector")) {
          if (c.Count() != 2) continue;
          errorPos_ = Pos(c);
          TfsStmtList body;
          auto set = Set(*c[0], scope);
          Statement(*c[1], scope, body);
          st.selectors.emplace_back(std::move(set), std::move(body));
        } else if (i + 1 == e.Count()) {
          Statement(c, scope, st.otherwise);
        }
      }
    } else if (n == "forstmt") {
      auto& st = Add<ForStmt>(list, e, scope);
      st.var = LoopVariable(Child(e, 0), scope);
      st.start = Bound(Child(e, 1), scope, st.var);
      int i = 2;
      if (i < e.Count() && Is(Child(e, i), "downto")) {
        st.down = true;
        ++i;
      }
      st.end = Bound(Child(e, i++), scope, st.var);
      Children(e, i, scope, st.body);
    } else if (n == "vbforstmt") {
      auto& st = Add<VbForStmt>(list, e, scope);
      st.var = LoopVariable(Child(e, 0), scope);
      st.start = Bound(Child(e, 1), scope, st.var);
      st.end = Bound(Child(e, 2), scope, st.var);
      int i = 3;
      if (i < e.Count() && Is(Child(e, i), "expr")) st.step = Bound(Child(e, i++), scope, st.var);
      Children(e, i, scope, st.body);
    } else if (n == "cppforstmt") {
      auto& st = Add<CppForStmt>(list, e, scope);
      if (e.Count() > 0) Statement(Child(e, 0), scope, st.init);
      if (e.Count() > 1 && Is(Child(e, 1), "expr") && Child(e, 1).Count() > 0) st.cond = Condition(Expression(Child(e, 1), scope));
      if (e.Count() > 2) Statement(Child(e, 2), scope, st.stepList);
      Children(e, 3, scope, st.body);
    } else if (n == "whilestmt") {
      auto& st = Add<WhileStmt>(list, e, scope);
      st.cond = Condition(Expression(Child(e, 0), scope));
      Children(e, 1, scope, st.body);
    } else if (n == "repeatstmt") {
      auto& st = Add<RepeatStmt>(list, e, scope);
      int last = e.Count() == 0 ? 0 : e.Count() - 1;
      if (Is(Child(e, last), "inverse") && last > 0) {
        st.inverse = true;
        --last;
      }
      for (int i = 0; i < last; ++i) Statement(Child(e, i), scope, st.body);
      st.cond = Condition(Expression(Child(e, last), scope));
    } else if (n == "trystmt") {
      auto& st = Add<TryStmt>(list, e, scope);
      for (int i = 0; i < e.Count(); ++i) {
        const TfsXMLItem& c = Child(e, i);
        if (Is(c, "exceptstmt")) {
          st.isExcept = true;
          Children(c, 0, scope, st.handler);
        } else if (Is(c, "finallystmt")) {
          Children(c, 0, scope, st.handler);
        } else {
          Statement(c, scope, st.body);
        }
      }
    } else if (n == "break") {
      Add<FlagStmt>(list, e, scope, &TfsScope::BreakFlag);
    } else if (n == "continue") {
      Add<FlagStmt>(list, e, scope, &TfsScope::ContinueFlag);
    } else if (n == "exit") {
      Add<FlagStmt>(list, e, scope, &TfsScope::ExitFlag);
    } else if (n == "return") {
      if (e.Count() == 1) {
        TfsItem* result = scope.FindLocal("Result");
        if (!result) Fail(ScriptMessage::SIdUndeclared, "Result");
        auto value = Expression(Child(e, 0), scope);
        errorPos_ = Pos(Child(e, 0));
        auto target = std::make_unique<VarDsgn>(result);
        CheckStore(target->Type(), value->Type());
        Add<AssignStmt>(list, e, scope, std::move(target), std::move(value), ' ');
      }
      Add<FlagStmt>(list, e, scope, &TfsScope::ExitFlag);
    } else if (n == "with") {
      With(e, scope, list);
    } else if (n == "delete") {
      auto d = Designator(Child(e, 0), scope);
      errorPos_ = Pos(Child(e, 0));
      TypeCode t = d->Type().code;
      if (t != tcClass && t != tcVariant) Fail(ScriptMessage::SClassRequired);
      Add<CallStmt>(list, e, scope, std::make_unique<FreeDsgn>(scope, std::move(d)), ' ');
    } else if (n == "compoundstmt") {
      Children(e, 0, scope, list);
    } else if (n == "uses") {
      std::string saved = unit_;
      unit_ = e.Prop("unit");
      for (int i = 0; i < e.Count(); ++i) Block(Child(e, i), scope);
      unit_ = saved;
    } else if (n == "var") {
      const VarLayout layout = LayoutOf(e);
      for (int i = 0; i < e.Count(); ++i) {
        if (!Is(Child(e, i), "ident")) continue;
        errorPos_ = Pos(Child(e, i));
        std::string name = Text(Child(e, i));
        CheckNew(name, scope);
        pendingInit_.reset();
        auto item = Variable(e, layout, i, scope, false, false, &list, name);
        TfsItem* raw = scope.Add(std::move(item));
        if (pendingInit_) Add<AssignStmt>(list, Child(e, i), scope, std::make_unique<VarDsgn>(raw), std::move(pendingInit_), ' ');
      }
    } else if (n == "const") {
      if (e.Count() < 2) return;
      errorPos_ = Pos(Child(e, 0));
      std::string name = Text(Child(e, 0));
      CheckNew(name, scope);
      auto x = Expression(Child(e, 1), scope);
      auto item = std::make_unique<TfsItem>();
      item->name = name;
      item->type = x->Type();
      item->value = x->Value();
      item->readOnly = true;
      scope.Add(std::move(item));
    } else if (n == "procedure" || n == "function") {
      std::string name;
      for (int i = 0; i < e.Count() && name.empty(); ++i)
        if (Is(Child(e, i), "name")) name = Text(Child(e, i));
      TfsItem* item = scope.FindLocal(name);
      if (!item || item->kind != ItemKind::Proc) Fail(ScriptMessage::SIdUndeclared, name);
      TfsScope& local = item->proc->local;
      const TfsXMLItem* saved = block_;
      block_ = &e;
      Declare(e, local);
      for (int i = 0; i < e.Count(); ++i)
        if (!Is(Child(e, i), "name") && !Is(Child(e, i), "parameters") && !Is(Child(e, i), "type")) Statement(Child(e, i), local, local.Main());
      block_ = saved;
    }
  }

  void With(const TfsXMLItem& e, TfsScope& scope, TfsStmtList& list) {
    std::size_t added = 0;
    int i = 0;
    for (; i < e.Count() && Is(*e[i], "dsgn"); ++i) {
      auto d = Designator(*e[i], scope);
      errorPos_ = Pos(*e[i]);
      TypeRef t = d->Type();
      if (t.code != tcClass && t.code != tcVariant) Fail(ScriptMessage::SClassRequired);
      std::string name;
      for (int k = 0;; ++k) {
        name = std::to_string(k);
        bool used = scope.FindLocal(name) != nullptr;
        for (auto& w : withs_) used = used || NameKey(w.var->name) == name;
        if (!used) break;
      }
      auto var = std::make_unique<TfsItem>();
      var->name = name;
      var->type = t;
      var->value = Variant::Null();
      TfsItem* raw = scope.Add(std::move(var));
      Add<WithStmt>(list, *e[i], scope, raw, std::move(d));
      withs_.push_back({raw, t});
      ++added;
    }
    Children(e, i, scope, list);
    withs_.resize(withs_.size() - added);
  }

  TfsILParser& parser_;
  TfsScript& program_;
  bool needDeclare_;
  const TfsXMLItem* root_ = nullptr;
  const TfsXMLItem* block_ = nullptr;
  std::string errorPos_, unit_;
  std::vector<WithEntry> withs_;
  std::unique_ptr<TfsExpression> pendingInit_;
  // The "types" child of each block element of the syntax tree, which lives
  // as long as the builder.
  std::unordered_map<const TfsXMLItem*, const TfsXMLItem*> typesOf_;
};

// Everything a call changes outside its body, put back when it ends, also
// when an error leaves it: a caught error finds the frames as they were.
struct CallGuard {
  TfsProc& p;
  TfsScript& prog;
  bool wasExecuting;
  TfsScope* activeScope;
  std::size_t saveBase;
  bool saved;

  CallGuard(TfsProc& proc, bool save)
      : p(proc), prog(proc.local.Program()), wasExecuting(proc.executing), activeScope(prog.ActiveScope()),
        saveBase(proc.saveStack.size()), saved(save) {
    if (save)
      for (const auto& item : p.local.Items())
        if (item->kind == ItemKind::Variable || item->kind == ItemKind::StringVariable ||
            item->kind == ItemKind::Param)
          p.saveStack.push_back(item->value);
    ++prog.CallDepth();
    p.executing = true;
    prog.ActiveScopeRef() = &p.local;
    p.local.ExitFlag = p.local.BreakFlag = p.local.ContinueFlag = false;
  }
  void Restore() {
    if (!saved) return;
    std::size_t k = saveBase;
    for (const auto& item : p.local.Items())
      if (item->kind == ItemKind::Variable || item->kind == ItemKind::StringVariable ||
          item->kind == ItemKind::Param)
        item->value = std::move(p.saveStack[k++]);
    p.saveStack.resize(saveBase);
    saved = false;
  }
  ~CallGuard() {
    p.local.ExitFlag = p.local.BreakFlag = p.local.ContinueFlag = false;
    Restore();
    p.executing = wasExecuting;
    prog.ActiveScopeRef() = activeScope;
    --prog.CallDepth();
  }
};

}  // namespace

void BuildProgram(TfsILParser& parser, TfsScript& program) { Builder(parser, program).Build(); }

Variant CallScriptProc(TfsItem& procItem, const Variant* args, int argc, Variant* out) {
  TfsProc& p = *procItem.proc;
  TfsScript& prog = p.local.Program();
  // Compile-time values (constants, bounds, defaults) never run script code.
  if (prog.Compiling()) throw ScriptError("Constant expression expected");
  if (prog.CallDepth() >= TfsScript::kMaxCallDepth) throw ScriptError("Stack overflow");
  CallGuard guard(p, p.executing);
  int count = std::min<int>(argc, static_cast<int>(p.params.size()));
  for (int i = 0; i < count; ++i) p.params[static_cast<std::size_t>(i)]->Store(args[i]);
  auto takeParams = [&] {
    if (out)
      for (std::size_t i = 0; i < p.params.size(); ++i) out[i] = p.params[i]->value;
  };
  try {
    RunStatements(p.local.Main(), p.local);
  } catch (...) {
    // The caller still stores the by-reference values an error left behind.
    takeParams();
    throw;
  }
  Variant result = p.isFunction ? p.result->value : Variant::Null();
  takeParams();
  // The outer call's values come back before the caller stores by-reference
  // results, so a variable passed down a recursion keeps the callee's value.
  guard.Restore();
  return result;
}

}  // namespace zentavo
