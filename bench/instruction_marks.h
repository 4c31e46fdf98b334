/* How the benchmark asks the instruction-counting qemu plugin for a mark: the system call getpid
 * (number 20 on 32-bit x86 Linux, which ignores its arguments) with this tag as its first
 * argument. The plugin then writes the number of guest instructions executed so far, one line a
 * mark. Shared by the plugin (a host program, in C) and the benchmark. */
#ifndef VORLIX_BENCH_INSTRUCTION_MARKS_H
#define VORLIX_BENCH_INSTRUCTION_MARKS_H

#define VORLIX_MARK_SYSCALL 20
#define VORLIX_MARK_TAG 0x564D524Bu

#endif
