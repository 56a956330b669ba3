#pragma once

namespace zelkar::modXP {

// The toolkit's set-up before any window exists: the program's resources, its
// icon and an icon theme to fall back on. True unless something was missing.
bool InitVisualStyles();

}  // namespace zelkar::modXP
