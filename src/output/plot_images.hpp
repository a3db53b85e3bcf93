// Raw images of the upward emission for 3D plotting.
#pragma once

namespace vl {

void writePlotImages();

}  // namespace vl
