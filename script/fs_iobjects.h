// The objects a script can reach: every script owns one table that maps the
// checked handles its values hold to the host objects behind them. A handle
// carries the serial number of the table that issued it and means nothing to
// any other table, so two scripts never reach each other's objects; and the
// generation of its slot, so an object removed from a table can never be
// mistaken for the one that takes its slot next.
//
// Host use:
//   Variant v = Variant::Object(script.Objects().Register(&memo, &kMemoClass));
//   auto* m = static_cast<Memo*>(script.Objects().Resolve(v));   // checked
//   script.Objects().Unregister(&memo);                          // before `memo` goes
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "script/fs_ivariant.h"

namespace zentavo {

// A host class as the object table knows it: its name and its ancestor.
struct HostClassInfo {
  const char* name;
  const HostClassInfo* parent;
  // Whether this class is `ancestorName` or descends from it (ASCII case ignored).
  bool InheritsFrom(std::string_view ancestorName) const;
};

class ObjectTable {
 public:
  ObjectTable();
  ObjectTable(const ObjectTable&) = delete;
  ObjectTable& operator=(const ObjectTable&) = delete;

  // The handle of `object` as an instance of `cls`. An object already in the
  // table keeps its handle and takes the new class. With a life token, the
  // handle stops resolving once the token expires: objects the host destroys
  // without telling every script (a report's objects) can never be reached
  // through a stale handle, nor through one that an object at the same
  // address would otherwise inherit.
  ObjectHandle Register(void* object, const HostClassInfo* cls) { return Add(object, cls, false, {}); }
  ObjectHandle Register(void* object, const HostClassInfo* cls, std::weak_ptr<const void> life) {
    return Add(object, cls, true, std::move(life));
  }
  // Every handle of the object becomes invalid; objects not in the table are ignored.
  void Unregister(void* object);
  // Frees the slots of watched objects whose life token has expired (their
  // handles stay dead), so a host that registers new objects again and
  // again keeps the table as small as what is alive.
  void Sweep();
  // The object of a live handle; "Invalid object reference" otherwise.
  void* Resolve(ObjectHandle handle) const;
  // The object a value names: "Object reference required" for anything but
  // a handle, "Invalid object reference" for a handle this table does not hold.
  void* Resolve(const Variant& value) const;
  // The life token the object was registered with (empty when none); the
  // errors of Resolve. Objects reached through it share its lifetime.
  std::weak_ptr<const void> LifeOf(ObjectHandle handle) const;
  // The class the object was registered with; the errors of Resolve.
  const HostClassInfo* ClassOf(ObjectHandle handle) const;
  bool IsValid(ObjectHandle handle) const { return Find(handle) != nullptr; }
  // Objects in the table now.
  std::size_t Count() const { return index_.size(); }
  // What tells this table's handles from every other table's.
  std::uint32_t Serial() const { return serial_; }

 private:
  struct Slot {
    void* object = nullptr;
    const HostClassInfo* cls = nullptr;
    std::uint32_t generation = 1;
    bool watched = false;  // `life` decides whether the object still exists
    std::weak_ptr<const void> life;
  };
  const Slot* Find(ObjectHandle handle) const;
  ObjectHandle Add(void* object, const HostClassInfo* cls, bool watched, std::weak_ptr<const void> life);

  std::uint32_t serial_;
  std::vector<Slot> slots_;  // slot 0 is never used: a zero handle is invalid
  std::vector<std::uint32_t> free_;
  // Object -> its slot: registering and unregistering stay cheap however
  // many objects a script has made.
  std::unordered_map<const void*, std::uint32_t> index_;
};

}  // namespace zentavo
