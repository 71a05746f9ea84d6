#pragma once

// The tracer's loops over whole columns of grid points and over batches of
// segments are plain vector code. Where the compiler can build a copy for
// 256-bit vector registers too and pick one when the program loads (GCC on
// x86-64 Linux), it does; the two copies make the same operations in the same
// order, only more of them at once (no fused multiply-adds either way).
#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__) && defined(__linux__)
#define BRELLOC_VECTOR_KERNEL __attribute__((target_clones("avx2", "default")))
#else
#define BRELLOC_VECTOR_KERNEL
#endif
