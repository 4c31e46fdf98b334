#pragma once
// The runtime's pseudo-random sequence, never seeded: values 0 to 32767, the same sequence in every
// run and on every platform the library is built for.

namespace platform {
int rand();
}
