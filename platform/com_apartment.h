#pragma once

namespace platform {

// The component-object system for the calling thread, as a single-threaded apartment, for as long
// as this object lives: declared before anything that creates component objects, it ends the
// apartment after they are released. A thread that cannot enter it (one already in the
// multithreaded apartment) is left as it was found, and the objects created later report the
// failure themselves.
class ComApartment {
 public:
  ComApartment();
  ~ComApartment();
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

 private:
  bool entered_;
};

}  // namespace platform
