// Registers the framework's component classes with the class registry so that form texts
// can name them. Idempotent; the application does it when it starts.
#pragma once

namespace framework {
void RegisterStandardClasses();
// Puts the standard controls on the palette page "Standard" and the standard non-visual
// components on "System" (a designer calls it; idempotent).
void RegisterStandardComponents();
}
