#pragma once

#include "wave_decoder.h"

#include <QAudioFormat>
#include <QByteArray>

namespace tolvex {

// The wave in a stream's format: its channel count, its sample format and,
// by linear interpolation, its sample rate. Empty when there is nothing to
// render or the format cannot hold samples.
QByteArray renderWave(const DecodedWave& wave, const QAudioFormat& format);

} // namespace tolvex
