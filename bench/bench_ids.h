// Resource ids of the bench's own.
#pragma once

// The idle program (bench/idle), which the bench writes out under many names.
#define IDR_BENCH_IDLE 9001
