// Checked containers: every indexed access to one of the program's containers goes through At.
// A bad index is logged, the main window is asked to close, and the access returns a usable
// element so that the caller can go on until the close takes effect.
#pragma once

#include <list>
#include <stdexcept>
#include <vector>

#include "platform/win_types.h"

// Logs "err V[...]" / "err L[...]" and posts WM_CLOSE to the main window.
void ReportBadIndex(char kind, int index, int count, int elementSize);

template <class T>
class cSafeVector : public std::vector<T> {
 public:
  using std::vector<T>::vector;

  T& At(int index) {
    if (index < 0 || static_cast<size_t>(index) >= this->size()) {
      ReportBadIndex('V', index, static_cast<int>(this->size()), static_cast<int>(sizeof(T)));
      if (this->empty()) throw std::out_of_range("invalid vector<T> subscript");
      return this->front();
    }
    return (*this)[static_cast<size_t>(index)];
  }
  const T& At(int index) const { return const_cast<cSafeVector*>(this)->At(index); }

  // Stores `value` into every element (int and BYTE vectors).
  void Fill(const T& value) {
    for (int i = 0; i < static_cast<int>(this->size()); ++i) At(i) = value;
  }
};

template <class T>
class cSafeList : public std::list<T> {
 public:
  using std::list<T>::list;

  T& At(int index) {
    if (index < 0 || static_cast<size_t>(index) >= this->size()) {
      ReportBadIndex('L', index, static_cast<int>(this->size()), static_cast<int>(sizeof(T)));
      return DefaultElement();
    }
    auto it = this->begin();
    for (int i = 0; i < index; ++i) ++it;
    return *it;
  }
  const T& At(int index) const { return const_cast<cSafeList*>(this)->At(index); }

 private:
  // One per element type, made on the first failure and kept for the run (value-initialised:
  // zero for plain records and pointers).
  static T& DefaultElement() {
    static T element{};
    return element;
  }
};
