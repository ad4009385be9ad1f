#pragma once

#include <string>

#include "data/firmwarelayout.h"
#include "pipettesimulator.h"
#include "sampledata.h"

namespace veltrin::winserial {

// Compares what the simulated device holds with every byte of the family's firmware from the
// sample set; empty when all is there, else the first address that differs.
std::string CheckFirmwareInDevice(const PipetteSimulator& sim, FirmwareFamily family,
                                  const sample::SampleSetOptions& published);

}  // namespace veltrin::winserial
