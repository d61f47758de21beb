// Registers the framework's component classes with the class registry so that form texts
// can name them. Idempotent; the application does it when it starts.
#pragma once

namespace framework {
void RegisterStandardClasses();
}
