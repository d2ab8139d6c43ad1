// The progress dialog's bar belongs to the common-controls library, whose window classes
// exist only after the library has been initialised. The dialog template carries no
// DS_NOFAILCREATE, so without this the whole progress dialog fails to be created.
#pragma once

// Registers the progress bar class; later calls do nothing once it has succeeded.
// True when the class is available.
bool InitCommonControlsOnce();
