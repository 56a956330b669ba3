#pragma once

namespace zelkar {
class frmMain;
}

namespace zelkar::windowlayout {

// Lays the main window out at its design places, grown evenly as far as the
// font needs (a larger font, or fonts at a larger scale), so that no caption,
// button text or label is cut; the user may make the window larger: the tree
// takes the extra width and height, the keyword box and the target label the
// extra width, and every row keeps its place. Follows later font changes.
void Install(frmMain& form);

// The factor the font grows the design by: 1 at the design's font.
double Scale(const frmMain& form);

// A design measure in twips, grown by the scale.
int ScaledTwips(const frmMain& form, int twips);

}  // namespace zelkar::windowlayout
