#include "small_stack.h"

#include <cstdlib>
#include <exception>

#ifdef _WIN32
#include <windows.h>
#else
#include <pthread.h>
#endif

namespace testing_support {

namespace {

struct Job {
    const std::function<void()>* work;
    std::exception_ptr failure;
};

void runJob(Job& job) {
    try {
        (*job.work)();
    } catch (...) {
        job.failure = std::current_exception();
    }
}

#ifdef _WIN32
DWORD WINAPI threadMain(LPVOID argument) {
    runJob(*static_cast<Job*>(argument));
    return 0;
}
#else
void* threadMain(void* argument) {
    runJob(*static_cast<Job*>(argument));
    return nullptr;
}
#endif

}  // namespace

void runOnStack(std::size_t stackBytes, const std::function<void()>& work) {
    Job job{&work, nullptr};
#ifdef _WIN32
    // The size is the reservation, as for a thread the host starts itself.
    HANDLE thread = CreateThread(nullptr, stackBytes, threadMain, &job,
                                 STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (thread == nullptr) std::abort();
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
#else
    pthread_attr_t attributes;
    pthread_t thread;
    if (pthread_attr_init(&attributes) != 0 ||
        pthread_attr_setstacksize(&attributes, stackBytes) != 0 ||
        pthread_create(&thread, &attributes, threadMain, &job) != 0) {
        std::abort();
    }
    pthread_attr_destroy(&attributes);
    pthread_join(thread, nullptr);
#endif
    if (job.failure) std::rethrow_exception(job.failure);
}

}  // namespace testing_support
