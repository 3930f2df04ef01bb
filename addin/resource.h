// Resource ids of Quorla.dll.
#pragma once

// Import options dialog.
#define IDD_IMPORT_OPTIONS 17768
#define IDC_CURVES_PART 1022
#define IDC_CURVES_ASSEMBLY 1023
#define IDC_UNITS 1024
#define IDC_PROGRESS 1027
#define IDC_CURVES_DRAWING 1032
#define IDC_MESHES_SOLID 1034
#define IDC_MESHES_SKETCH 1035
#define IDC_MULTIBODY 1036
