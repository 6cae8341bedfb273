// Which vector instruction sets the processor running the program offers. The build stays
// baseline x86-64; the per-frame picture operations pick their fastest path from these at run
// time.
#pragma once

namespace korvex::workflow {

// 32-byte integer vectors.
bool CpuHasAvx2();
// 64-byte integer vectors with byte-wise permutes across the whole register (AVX-512 BW and
// VBMI): a 128-entry byte table per instruction.
bool CpuHasAvx512Vbmi();

}  // namespace korvex::workflow
