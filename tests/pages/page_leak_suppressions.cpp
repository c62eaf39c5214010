// Fontconfig keeps the configuration it parses for the whole process and never
// frees it; the sanitizer build's leak check would fail every page test that lays
// out text. Only that library's allocations are excused.
extern "C" const char* __lsan_default_suppressions();
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
