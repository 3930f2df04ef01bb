// What TMXToolbar's layout keeps for the process.
#pragma once

// Finds the common controls' version, (major << 16) | minor, once per
// process: 4.0 when the library cannot tell. Called as a toolbar is created.
void DetermineCommonControlsVersion();
