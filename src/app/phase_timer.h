// PhaseTimer: where a frame's time goes, phase by phase (update, sky, land, cars, overlay scene,
// flare, transition, texts, present), for the benchmark's breakdown. GPU time from timer queries where
// the driver has them (read a few frames later, so nothing waits for the GPU), else the CPU's
// wall time between the phase's start and end. Fixed storage: nothing allocated per frame.
#pragma once

#include <cstddef>
#include <cstdint>

#include "app/frame_phases.h"

namespace ravelin {

class PhaseTimer final : public FramePhaseObserver {
public:
    // Needs the run's GL context current; until then (and after a failed look-up) CPU time.
    // sync: no timer queries; each phase's drawing is finished before and after it and timed by
    // the clock (the true cost on a deferred software rasteriser, at some cost to the frame rate).
    void start(bool sync);
    void phaseBegins(FramePhase phase) override;
    void phaseEnds(FramePhase phase) override;
    // After the frame's last phase: collects the results that are ready.
    void frameDone();
    bool usesGpuTimer() const { return gpu_; }
    // Mean milliseconds per frame of the phase over the frames measured.
    double meanMs(size_t phase) const;
    // One line: "phase_ms_<source> sky 1.23 land ..." and their sum.
    void print() const;

private:
    static constexpr int kRing = 4;  // frames in flight before a query's result is read
    bool gpu_ = false;
    bool sync_ = false;
    uint32_t queries_[kRing][kFramePhaseCount] = {};
    bool pending_[kRing] = {};
    int slot_ = 0;
    int64_t cpuBegin_ = 0;
    double sumNs_[kFramePhaseCount] = {};
    long counted_[kFramePhaseCount] = {};
};

}  // namespace ravelin
