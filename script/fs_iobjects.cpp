// A script's object table: slots with generations, and the class relation of host classes.
#include "script/fs_iobjects.h"

#include <atomic>
#include <limits>

#include "platform/Cp1254.h"
#include "script/fs_ierror.h"

namespace zentavo {

bool HostClassInfo::InheritsFrom(std::string_view ancestorName) const {
  for (const HostClassInfo* c = this; c; c = c->parent)
    if (SameTextAscii(c->name, ancestorName)) return true;
  return false;
}

namespace {

// Tables are told apart by a serial number that each of their handles
// carries. The counter hands out identities and nothing else: no object,
// class or slot is shared between tables. Zero is never issued, so the zero
// handle resolves nowhere.
std::uint32_t NewTableSerial() {
  static std::atomic<std::uint32_t> last{0};
  std::uint32_t serial;
  do serial = ++last;
  while (serial == 0);
  return serial;
}

}  // namespace

ObjectTable::ObjectTable() : serial_(NewTableSerial()), slots_(1) {}

ObjectHandle ObjectTable::Add(void* object, const HostClassInfo* cls, bool watched, std::weak_ptr<const void> life) {
  // No object, no slot: the zero handle is the one that never resolves.
  if (!object) return {0, 0, 0};
  if (auto it = index_.find(object); it != index_.end()) {
    Slot& s = slots_[it->second];
    if (!(s.watched && s.life.expired())) {
      s.cls = cls;
      if (watched) {
        s.watched = true;
        s.life = std::move(life);
      }
      return {serial_, it->second, s.generation};
    }
    // A destroyed object's address, taken by a new one: its old handles stay dead.
    Unregister(object);
  }
  std::uint32_t slot;
  if (!free_.empty()) {
    slot = free_.back();
    free_.pop_back();
  } else {
    if (slots_.size() > std::numeric_limits<std::uint32_t>::max()) throw ScriptError(msg::kTooManyObjects);
    slot = static_cast<std::uint32_t>(slots_.size());
    slots_.emplace_back();
  }
  slots_[slot].object = object;
  slots_[slot].cls = cls;
  slots_[slot].watched = watched;
  slots_[slot].life = std::move(life);
  index_[object] = slot;
  return {serial_, slot, slots_[slot].generation};
}

void ObjectTable::Unregister(void* object) {
  if (!object) return;
  auto it = index_.find(object);
  if (it == index_.end()) return;
  Slot& s = slots_[it->second];
  s.object = nullptr;
  s.cls = nullptr;
  s.watched = false;
  s.life.reset();
  // A slot whose generation would wrap is retired rather than reused, so
  // that no handle it ever issued can come back to life.
  if (++s.generation != 0) free_.push_back(it->second);
  index_.erase(it);
}

void ObjectTable::Sweep() {
  std::vector<void*> gone;
  for (const auto& [object, slot] : index_)
    if (slots_[slot].watched && slots_[slot].life.expired()) gone.push_back(const_cast<void*>(object));
  for (void* object : gone) Unregister(object);
}

const ObjectTable::Slot* ObjectTable::Find(ObjectHandle h) const {
  if (h.table != serial_ || h.slot == 0 || h.slot >= slots_.size()) return nullptr;
  const Slot& s = slots_[h.slot];
  if (s.object == nullptr || s.generation != h.generation) return nullptr;
  if (s.watched && s.life.expired()) return nullptr;
  return &s;
}

void* ObjectTable::Resolve(ObjectHandle handle) const {
  const Slot* s = Find(handle);
  if (!s) throw ScriptError(msg::kInvalidObject);
  return s->object;
}

void* ObjectTable::Resolve(const Variant& value) const {
  if (!value.IsObject()) throw ScriptError(msg::kNotAnObject);
  return Resolve(value.RawObject());
}

std::weak_ptr<const void> ObjectTable::LifeOf(ObjectHandle handle) const {
  const Slot* s = Find(handle);
  if (!s) throw ScriptError(msg::kInvalidObject);
  return s->life;
}

const HostClassInfo* ObjectTable::ClassOf(ObjectHandle handle) const {
  const Slot* s = Find(handle);
  if (!s) throw ScriptError(msg::kInvalidObject);
  return s->cls;
}

}  // namespace zentavo
