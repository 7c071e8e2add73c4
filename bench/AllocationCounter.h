#pragma once

#include <cstddef>

namespace plinka::bench {

// How many times operator new has run in this process (the bench replaces it to count).
size_t allocationCount();

}  // namespace plinka::bench
