/* A qemu plugin (user-mode emulation, plugin interface version 1) that counts the guest
 * instructions a program executes and, whenever the program asks for a mark, writes the running
 * count to the file given as marks=PATH, one decimal number a line, unbuffered, so that the
 * program can read its own marks back. Use:
 *   qemu-i386 -plugin vorlix-instruction-marks.so,marks=PATH PROGRAM ARGS... */
#include <fcntl.h>
#include <inttypes.h>
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

#include "instruction_marks.h"

/* The part of qemu's plugin interface that this plugin uses. Debian ships no header for it; these
 * declarations follow version 1 of the interface. */
typedef uint64_t qemu_plugin_id_t;
struct qemu_plugin_tb;
enum qemu_plugin_op { QEMU_PLUGIN_INLINE_ADD_U64 };
typedef void (*qemu_plugin_vcpu_tb_trans_cb_t)(qemu_plugin_id_t id, struct qemu_plugin_tb* tb);
typedef void (*qemu_plugin_vcpu_syscall_cb_t)(qemu_plugin_id_t id, unsigned int vcpu, int64_t num,
                                              uint64_t a1, uint64_t a2, uint64_t a3, uint64_t a4,
                                              uint64_t a5, uint64_t a6, uint64_t a7, uint64_t a8);
void qemu_plugin_register_vcpu_tb_trans_cb(qemu_plugin_id_t id, qemu_plugin_vcpu_tb_trans_cb_t cb);
size_t qemu_plugin_tb_n_insns(const struct qemu_plugin_tb* tb);
void qemu_plugin_register_vcpu_tb_exec_inline(struct qemu_plugin_tb* tb, enum qemu_plugin_op op,
                                              void* ptr, uint64_t imm);
void qemu_plugin_register_vcpu_syscall_cb(qemu_plugin_id_t id, qemu_plugin_vcpu_syscall_cb_t cb);

__attribute__((visibility("default"))) int qemu_plugin_version = 1;

static uint64_t executed;
static int marks = -1;

/* Each translated block adds its length when it starts to run. A mark therefore also counts the
 * instructions after the system call in its block; every mark does so alike. */
static void onTranslate(qemu_plugin_id_t id, struct qemu_plugin_tb* tb) {
    (void)id;
    qemu_plugin_register_vcpu_tb_exec_inline(tb, QEMU_PLUGIN_INLINE_ADD_U64, &executed,
                                             qemu_plugin_tb_n_insns(tb));
}

static void onSyscall(qemu_plugin_id_t id, unsigned int vcpu, int64_t num, uint64_t a1, uint64_t a2,
                      uint64_t a3, uint64_t a4, uint64_t a5, uint64_t a6, uint64_t a7,
                      uint64_t a8) {
    (void)id, (void)vcpu, (void)a2, (void)a3, (void)a4, (void)a5, (void)a6, (void)a7, (void)a8;
    if (num != VORLIX_MARK_SYSCALL || (uint32_t)a1 != VORLIX_MARK_TAG) return;
    char line[32];
    const int length = snprintf(line, sizeof line, "%" PRIu64 "\n", executed);
    if (write(marks, line, (size_t)length) != length) _exit(70);
}

__attribute__((visibility("default"))) int qemu_plugin_install(qemu_plugin_id_t id,
                                                               const void* info, int argc,
                                                               char** argv) {
    (void)info;
    for (int i = 0; i < argc; ++i) {
        if (strncmp(argv[i], "marks=", 6) == 0) {
            marks = open(argv[i] + 6, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        }
    }
    if (marks < 0) {
        fprintf(stderr, "instruction marks plugin: give a writable file as marks=PATH\n");
        return -1;
    }
    qemu_plugin_register_vcpu_tb_trans_cb(id, onTranslate);
    qemu_plugin_register_vcpu_syscall_cb(id, onSyscall);
    return 0;
}
