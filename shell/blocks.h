// Objects that live to the end of the run and are never freed one by one: carved from blocks of
// N, each chained to the one before, so that all of them stay reachable to the end and a leak
// checker finds none lost.
#pragma once
#include <new>

template <typename T, int N> class Blocks {
public:
  // A fresh object (value-initialised), or null when memory runs out.
  T *take() {
    if (used_ == N) {
      Block *block = new (std::nothrow) Block{last_, {}};
      if (!block) return nullptr;
      last_ = block;
      used_ = 0;
    }
    return &last_->items[used_++];
  }
  // Where the next object comes from; give_back(mark) returns the objects taken since, when they
  // all came from the current block.
  struct Mark {
    const void *block;
    int used;
  };
  Mark mark() const { return Mark{last_, used_}; }
  void give_back(Mark m) {
    if (m.block != last_) return;
    while (used_ > m.used) last_->items[--used_] = T{};
  }

private:
  struct Block {
    Block *previous;
    T items[N];
  };
  Block *last_ = nullptr;
  int used_ = N;
};
