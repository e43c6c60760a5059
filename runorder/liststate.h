#pragma once

// How the ring's list is shown: the list, the last list while the file cannot be found (greyed, taking no
// edits), or the empty view.
enum class ListState { Shown, Stale, Empty };

// What a check that found the followed file says of the office's list for the change indicator: a list that
// replaced the ring's is new (the green square), any other is not; a check that did not find the file leaves
// the indicator as it was.
enum class ListNews { Untold, Same, New };
