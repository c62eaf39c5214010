// Fontconfig and D-Bus keep allocations for the life of the process, which the
// sanitizer build's leak check reports as lost depending on the state of the font
// cache. Built into every test that draws text, so the excuse holds however the test
// binary is started, not only under the ctest preset that names lsan.supp. Only those
// libraries' allocations are excused; the program's own leaks still fail.
extern "C" const char* __lsan_default_suppressions();
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n"
           "leak:libdbus-1.so\n";
}
