#pragma once

// Set-up shared by the fuzz targets, called from LLVMFuzzerInitialize.
namespace FuzzEnvironment {

// Drops Qt's debug, info and warning messages: a fuzzer feeds millions of broken inputs, and
// printing a warning for each would take most of its time. Fatal messages still abort.
void silenceMessages();

// A QGuiApplication on the offscreen platform, for code that needs fonts or colours.
void startGuiApplication(int *argc, char ***argv);

// Reports a property of the code under test that did not hold, and aborts, so that the fuzzer
// keeps the input (in every build type: this is not an assertion that NDEBUG removes).
[[noreturn]] void fail(const char *condition, const char *file, int line);

} // namespace FuzzEnvironment

// Defines the fuzzer's set-up for a target that needs nothing but quiet logging.
#define FUZZ_QUIET_INITIALIZE()                          \
    extern "C" int LLVMFuzzerInitialize(int *, char ***) \
    {                                                    \
        FuzzEnvironment::silenceMessages();              \
        return 0;                                        \
    }

#define FUZZ_CHECK(condition) \
    ((condition) ? void() : FuzzEnvironment::fail(#condition, __FILE__, __LINE__))
