// The geometry services in one include.
#pragma once

#include "TMXCurve.h"
#include "TMXNurbsCurve.h"
#include "TMXBrep.h"
#include "TMXMesh.h"
