#pragma once

namespace zelkar {

class frmMain;

// Keeps the window's tree in step with keyword changes made by other processes
// (zelkar-reg, zelkar-open's keyword verbs, another user of a shared hive): a
// timer owned by the window asks the store about once a second whether another
// process has written, and reloads the tree through LoadTVW when one has. The
// window's own writes never count. While the tree holds a keyword marked for
// exportation or renamed but not registered, or the user is busy with a dialog
// or a label, the change waits.
void FollowOtherWriters(frmMain& form);

}  // namespace zelkar
