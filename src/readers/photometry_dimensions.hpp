// The size of a photometry table as the driver pre-reads it from a file's head.
#pragma once

namespace vl {

struct PhotometryDimensions {
    int cPlanes = 0;      // C planes below 360 deg (Eulumdat: Mc, line 4)
    int gammaAngles = 0;  // gamma angles (Eulumdat: Ng, line 6)
};

}  // namespace vl
