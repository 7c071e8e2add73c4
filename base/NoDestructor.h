#pragma once

#include <new>
#include <utility>

namespace plinka {

// A value that is made once and never destroyed: for process-wide state that a thread may still
// use while exit() runs the static destructors.
template <class T>
class NoDestructor {
  public:
    template <class... Arguments>
    explicit NoDestructor(Arguments&&... arguments) {
        ::new (static_cast<void*>(storage_)) T(std::forward<Arguments>(arguments)...);
    }
    NoDestructor(const NoDestructor&) = delete;
    NoDestructor& operator=(const NoDestructor&) = delete;

    T& operator*() { return *std::launder(reinterpret_cast<T*>(storage_)); }
    T* operator->() { return &**this; }

  private:
    alignas(T) unsigned char storage_[sizeof(T)];
};

}  // namespace plinka
