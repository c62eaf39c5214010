// Fontconfig keeps the configuration it parses for the whole process and never
// frees it; the leak checker of the sanitizer build would otherwise fail every
// run that draws text. Only that library's allocations are excused.
extern "C" const char* __lsan_default_suppressions();
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
