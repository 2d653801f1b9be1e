#pragma once

#include <cstdint>

namespace ioa {

// The phases of a transfer, as the progress dialog tells them. The values
// between them are never reported.
enum Phase_t : std::int32_t {
  PhaseInitial = 0,        // preparing the data card (an indefinite bar)
  PhaseCopying = 1,        // copying databases
  PhasePreparing = 2,      // preparing databases
  PhaseErasing = 4,        // erasing the databases already on the card
  PhaseVerifying = 8,      // verifying the database signature
  PhaseCharts = 9,         // transferring charts
  PhaseTransferring = 10,  // transferring databases
  PhaseFinalizing = 13,    // finalizing the transfer
  PhaseComplete = 14,
};

}  // namespace ioa
