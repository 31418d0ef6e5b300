// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Contrast.h"

#include <algorithm>
#include <cmath>

namespace td::contrast {

namespace {
double channel(quint32 value)
{
    const double c = double(value & 0xff) / 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}
} // namespace

double luminance(quint32 rgb)
{
    return 0.2126 * channel(rgb >> 16) + 0.7152 * channel(rgb >> 8) + 0.0722 * channel(rgb);
}

double ratio(quint32 a, quint32 b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

bool swapForInk(quint32 ink, quint32 ground, quint32 text)
{
    const double kept = ratio(ink, ground);
    return kept < GraphicMinimum && ratio(ink, text) > kept;
}

quint32 groundFor(quint32 text, quint32 ground, double minimum)
{
    const quint32 target = luminance(text) > luminance(ground) ? 0xff000000u : 0xffffffffu;
    auto mix = [&](int step) {
        quint32 out = 0xff000000u;
        for (int shift : {16, 8, 0}) {
            const int from = int((ground >> shift) & 0xff);
            const int to = int((target >> shift) & 0xff);
            out |= quint32(from + (to - from) * step / 20) << shift;
        }
        return out;
    };
    for (int step = 0; step < 20; ++step)
        if (ratio(text, mix(step)) >= minimum)
            return mix(step);
    return target;
}

} // namespace td::contrast
