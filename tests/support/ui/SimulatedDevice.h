#pragma once

namespace brenzo::testing {

// Puts the simulated device back as it starts: no panels, no presented screens, no recorded
// animations or opened URLs, portrait at scale 1, no cached bundle images.
void resetSimulatedDevice();

}
