// The test executables' entry point.
#include <gtest/gtest.h>

#include <cstdio>
#ifdef _WIN32
#include <windows.h>
#endif

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
#ifdef _WIN32
    // Under Wine, threads of the platform's media stack (GStreamer, DirectSound) can still be
    // winding down when the process exits, and the exit then crashes now and then. The results
    // are already printed: end the process at once instead of running the exit sequence.
    std::fflush(stdout);
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), static_cast<UINT>(result));
#endif
    return result;
}
