#pragma once

// The ring's edits (moving and swapping lines, not-started marks, the send rule and the mutation files)
// are built here on the grid data of the running order; the main window only dispatches to them.
