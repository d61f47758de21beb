// The package: one registration entry that calls the Register procedure of every unit, so
// that a host (the form designer, or an application that loads the package) finds the
// controls on the palette page "Tessaline" and can read forms that name them.
#pragma once

#if defined(_WIN32)
#define TESSAPACK_EXPORT __declspec(dllexport)
#else
#define TESSAPACK_EXPORT __attribute__((visibility("default")))
#endif

namespace tessapack {
// Registers every unit's components and editors. Safe to call more than once.
void Register();

// The module under which the package's bitmaps are registered. A component's palette
// bitmap is named after its class in upper case ("TMULTIPANE").
inline constexpr const char* kResourceModule = "Tessapack";
// Registers the package's bitmaps (once; every unit's Register calls it).
void RegisterPackageBitmaps();
}  // namespace tessapack

// The entry a host looks up by name after loading the shared library.
extern "C" TESSAPACK_EXPORT void TessapackRegister();
