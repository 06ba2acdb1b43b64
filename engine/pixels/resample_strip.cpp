// The strip resampler. Rows first: the sources of a destination row are weighed down
// each source column into one row of column sums, which each destination column then
// gathers. Columns first: each source row is gathered into destination columns once,
// held in a ring as long as destination rows need it, and destination rows weigh the
// held rows. Either way every sum is an exact integer, so both give the sums of adding
// w = (X weight) x (Y weight) per source and destination pixel.
#include "engine/pixels/resample_strip.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "engine/pixels/channel_compression.h"
#include "engine/pixels/resample_kernels.h"
#include "engine/pixels/resample_rows.h"

namespace lumatra {

namespace {

using resample::kGatherPadding;
using resample_rows::FinishJob;

// The row loops by sum type: 32-bit through the dispatched builds, 64-bit as written.
template <class Sum>
struct Rows;

template <>
struct Rows<uint32_t> {
    static constexpr bool kFinishes = true;  // has the fused last steps
    static void Widen(uint32_t* out, const uint8_t* in, int32_t n) { resample::Widen(out, in, n); }
    static void Products(uint32_t* out, const uint8_t* a, const uint8_t* c, int32_t n)
    {
        resample::Products(out, a, c, n);
    }
    static void AddWeighted(uint32_t* sum, const uint8_t* in, uint32_t w, int32_t n, bool first)
    {
        resample::AddWeighted(sum, in, w, n, first);
    }
    static void AddWeightedProducts(uint32_t* sum, const uint8_t* a, const uint8_t* c, uint32_t w, int32_t n,
                                    bool first)
    {
        resample::AddWeightedProducts(sum, a, c, w, n, first);
    }
    static void AddWeightedSums(uint32_t* sum, const uint32_t* in, uint32_t w, int32_t n, bool first)
    {
        resample::AddWeightedSums(sum, in, w, n, first);
    }
    static void GatherChannels(uint32_t* const* out, const uint32_t* const* values, int channels,
                               const BLAxisPlan& plan)
    {
        resample::GatherChannels(out, values, channels, plan.start, plan.weights, plan.taps, plan.count,
                                 plan.rising);
    }
    static constexpr bool kPairs = true;  // gathers two taps from rows of byte pairs
    static void Pairs(uint32_t* out, const uint8_t* in, int32_t n) { resample::Pairs(out, in, n); }
    static void GatherPairs(uint32_t* const* out, const uint32_t* const* pairs, int channels, const BLAxisPlan& plan)
    {
        resample::GatherPairs(out, pairs, channels, plan.start, plan.pairs, plan.count, plan.rising);
    }
    static void Scale(uint32_t* out, const uint32_t* in, uint32_t w, int32_t n) { resample::Scale(out, in, w, n); }
    static void Reciprocals(float* out, const uint32_t* den, int32_t n) { resample::Reciprocals(out, den, n); }
    static void Divide(uint8_t* out, const uint32_t* num, const uint32_t* den, const float* reciprocals, int32_t n,
                       bool write255)
    {
        resample::Divide(out, num, den, reciprocals, n, write255);
    }
    static void Finish(bool opaque, int colours, int taps, const FinishJob& job)
    {
        resample::FinishRow(opaque, colours, taps, job);
    }
};

template <>
struct Rows<uint64_t> {
    static constexpr bool kFinishes = false;
    static void Widen(uint64_t* out, const uint8_t* in, int32_t n) { resample_rows::Widen(out, in, n); }
    static void Products(uint64_t* out, const uint8_t* a, const uint8_t* c, int32_t n)
    {
        resample_rows::Products(out, a, c, n);
    }
    static void AddWeighted(uint64_t* sum, const uint8_t* in, uint32_t w, int32_t n, bool first)
    {
        resample_rows::AddWeighted(sum, in, w, n, first);
    }
    static void AddWeightedProducts(uint64_t* sum, const uint8_t* a, const uint8_t* c, uint32_t w, int32_t n,
                                    bool first)
    {
        resample_rows::AddWeightedProducts(sum, a, c, w, n, first);
    }
    static void AddWeightedSums(uint64_t* sum, const uint64_t* in, uint32_t w, int32_t n, bool first)
    {
        resample_rows::AddWeightedSums(sum, in, w, n, first);
    }
    static void GatherChannels(uint64_t* const* out, const uint64_t* const* values, int channels,
                               const BLAxisPlan& plan)
    {
        resample_rows::GatherChannels(out, values, channels, plan.start, plan.weights, plan.taps, plan.count);
    }
    static constexpr bool kPairs = false;
    static void Pairs(uint64_t*, const uint8_t*, int32_t) {}
    static void GatherPairs(uint64_t* const*, const uint64_t* const*, int, const BLAxisPlan&) {}
    static void Scale(uint64_t* out, const uint32_t* in, uint32_t w, int32_t n) { resample_rows::Scale(out, in, w, n); }
    static void Reciprocals(float*, const uint64_t*, int32_t) {}
    static void Divide(uint8_t* out, const uint64_t* num, const uint64_t* den, const float*, int32_t n,
                       bool write255)
    {
        resample_rows::Divide(out, num, den, n, write255);
    }
    static void Finish(bool, int, int, const FinishJob&) {}
};

constexpr int kMaxChannels = 5;

int Channels(const BLStripResampler& r)
{
    return (r.alpha ? 1 : 0) + r.colours;
}

// Entries of one row of values: the sources and the padding the gathers may read.
uint64_t ValueStride(const BLStripResampler& r)
{
    return (uint64_t(r.x->sources) + kGatherPadding + 15) & ~uint64_t{15};
}

// Where each array of the scratch starts, every one on a 64-byte line of its own.
struct Layout {
    uint64_t values;       // per channel a row over the sources: column sums, or a widened source row
    uint64_t ring;         // columns first: per slot, the held row's destination-column sums per channel
    uint64_t sums;         // a destination row's sums per channel
    uint64_t totals;       // its weight totals
    uint64_t reciprocals;  // of the totals, then of the alpha sums (32-bit sums only)
    uint64_t held;         // columns first: the source row of each slot
    uint64_t bytes;
};

Layout LayoutOf(const BLStripResampler& r)
{
    const uint64_t sum = r.wide ? 8 : 4, channels = uint64_t(Channels(r)), count = uint64_t(r.x->count);
    uint64_t at = 0;
    const auto take = [&at](uint64_t bytes) {
        const uint64_t start = at;
        at += (bytes + 63) & ~uint64_t{63};
        return start;
    };
    Layout layout;
    layout.values = take(channels * ValueStride(r) * sum);
    layout.ring = take(r.columnsFirst ? uint64_t(r.y->taps) * channels * count * sum : 0);
    layout.sums = take(channels * count * sum);
    layout.totals = take(count * sum);
    layout.reciprocals = take(r.wide ? 0 : 2 * count * sizeof(float));
    layout.held = take(r.columnsFirst ? uint64_t(r.y->taps) * sizeof(int32_t) : 0);
    layout.bytes = at;
    return layout;
}

template <class Sum>
class StripRun {
public:
    StripRun(BLStripResampler& r, const PlaneView& strip, int32_t stripFirst, int32_t stripEnd, const PlaneView& out,
             bool write255)
        : m_r(r), m_x(*r.x), m_y(*r.y), m_strip(strip), m_stripFirst(stripFirst), m_out(out), m_write255(write255),
          m_layout(LayoutOf(r)), m_channels(Channels(r))
    {
        const ptrdiff_t stride = ptrdiff_t(ValueStride(r));
        for (int c = 0; c < m_channels; ++c) {
            m_values[c] = Array<Sum>(m_layout.values) + c * stride;
            m_sums[c] = Array<Sum>(m_layout.sums) + ptrdiff_t(c) * m_x.count;
        }
        // The fused last steps take alpha with 0 or 3 colours into every plane, keeping a
        // pixel whose divisor is 0; they know the sums of opaque sources too.
        m_fused = Rows<Sum>::kFinishes && r.alpha && (r.colours == 0 || r.colours == 3) && !write255;
        for (int c = 0; c < m_channels; ++c)
            m_fused = m_fused && out.planes[c] != nullptr;
        m_opaque = m_fused && Opaque(stripEnd - stripFirst);
        // Held rows summed for the other kind of source are summed again.
        if (r.columnsFirst && r.heldOpaque != m_opaque) {
            std::fill_n(r.heldRows, r.y->taps, -1);
            r.heldOpaque = m_opaque;
        }
    }

    // Whether every source of the strip is opaque.
    bool Opaque() const { return m_opaque; }

    // Rows first: adds the taps [from, to) of destination row i to its column sums (of
    // the colours alone where `opaque`).
    void AddTaps(int32_t i, int32_t from, int32_t to, bool& summing, bool opaque)
    {
        const int32_t width = m_x.sources;
        for (int32_t t = from; t < to; ++t) {
            const uint32_t w = m_y.weights[ptrdiff_t(t) * m_y.count + i];
            if (w == 0)
                continue;
            const int32_t row = m_y.start[i] + t;
            for (int c = opaque ? 1 : 0; c < m_channels; ++c) {
                if (!m_r.alpha || c == 0 || opaque)
                    Rows<Sum>::AddWeighted(m_values[c], SourceRow(c, row), w, width, !summing);
                else
                    Rows<Sum>::AddWeightedProducts(m_values[c], SourceRow(0, row), SourceRow(c, row), w, width,
                                                   !summing);
            }
            summing = true;
        }
    }

    // Rows first: the column sums gathered into destination row i, divided.
    void GatherColumns(int32_t i, bool opaque)
    {
        const int first = opaque ? 1 : 0;
        Rows<Sum>::GatherChannels(m_sums + first, m_values + first, m_channels - first, m_x);
        Divide(i, m_sums, opaque);
    }

    // Columns first: destination row i from its held source rows, divided. Up to two
    // rows wait for the fused last steps; more are summed here.
    void WeighHeldRows(int32_t i)
    {
        Sum* rows[2][kMaxChannels];
        uint32_t weights[2];
        int waiting = 0;
        bool summing = false;
        const auto add = [&](Sum* const* row, uint32_t w) {
            for (int c = m_opaque ? 1 : 0; c < m_channels; ++c)
                Rows<Sum>::AddWeightedSums(m_sums[c], row[c], w, m_x.count, !summing);
            summing = true;
        };
        for (int32_t t = 0; t < m_y.taps; ++t) {
            const uint32_t w = m_y.weights[ptrdiff_t(t) * m_y.count + i];
            if (w == 0)
                continue;
            Sum* held[kMaxChannels] = {};
            HeldRow(m_y.start[i] + t, held);
            if (m_fused && waiting < 2 && !summing) {
                // Of a fixed length, so the copy is a few moves rather than a call.
                std::copy_n(held, kMaxChannels, rows[waiting]);
                weights[waiting++] = w;
                continue;
            }
            for (int k = 0; k < waiting; ++k)
                add(rows[k], weights[k]);
            waiting = 0;
            add(held, w);
        }
        if (summing)
            Divide(i, m_sums, m_opaque);
        else
            Finish(i, rows, weights, waiting, m_opaque);
    }

    // A row no source reaches, where such pixels get 255.
    void Fill255(int32_t i)
    {
        const ptrdiff_t at = ptrdiff_t(i) * m_out.stride;
        if (m_r.alpha && m_out.planes[0])
            std::memset(m_out.planes[0] + at, 255, size_t(m_x.count));
        for (int k = 0; k < m_r.colours; ++k)
            if (m_out.planes[1 + k])
                std::memset(m_out.planes[1 + k] + at, 255, size_t(m_x.count));
    }

private:
    // Whether the strip's first `rows` rows hold alpha 255 alone.
    bool Opaque(int32_t rows) const
    {
        // Rows without a gap between them are scanned as one.
        const bool packed = m_strip.stride == m_x.sources;
        const uint32_t run = uint32_t(m_x.sources) * uint32_t(packed ? rows : 1);
        uint8_t value = 0;
        for (int32_t row = 0; row < (packed ? 1 : rows); ++row)
            if (!ITzBytesUniform(m_strip.planes[0] + ptrdiff_t(row) * m_strip.stride, run, &value) || value != 255)
                return false;
        return true;
    }

    template <class T>
    T* Array(uint64_t offset) const
    {
        return reinterpret_cast<T*>(m_r.scratch + offset);
    }

    // The strip's row of channel c: alpha first where there is one, then the colours.
    const uint8_t* SourceRow(int c, int32_t row) const
    {
        return m_strip.planes[m_r.alpha ? c : c + 1] + ptrdiff_t(row - m_stripFirst) * m_strip.stride;
    }

    // Whether channel c is summed from its bytes alone (not alpha products).
    bool ByteChannel(int c) const { return !m_r.alpha || c == 0 || m_opaque; }

    // The ring slot of source row `row`, its channels in `held`: gathered into
    // destination columns unless the slot holds it already.
    void HeldRow(int32_t row, Sum** held)
    {
        const int32_t slot = row % m_y.taps;
        Sum* slotSums = Array<Sum>(m_layout.ring) + ptrdiff_t(slot) * m_channels * m_x.count;
        for (int c = 0; c < m_channels; ++c)
            held[c] = slotSums + ptrdiff_t(c) * m_x.count;
        if (m_r.heldRows[slot] == row)
            return;
        // The channels of bytes come first (alpha, or every one without alpha products);
        // with two taps they gather pairs of neighbouring bytes at once.
        const int paired = m_opaque ? 1 : 0;
        int first = paired;
        for (; Rows<Sum>::kPairs && m_x.pairs && first < m_channels && ByteChannel(first); ++first)
            Rows<Sum>::Pairs(m_values[first], SourceRow(first, row), m_x.sources);
        if (first > paired)
            Rows<Sum>::GatherPairs(held + paired, m_values + paired, first - paired, m_x);
        for (int c = first; c < m_channels; ++c) {
            if (ByteChannel(c))
                Rows<Sum>::Widen(m_values[c], SourceRow(c, row), m_x.sources);
            else
                Rows<Sum>::Products(m_values[c], SourceRow(0, row), SourceRow(c, row), m_x.sources);
        }
        if (first < m_channels)
            Rows<Sum>::GatherChannels(held + first, m_values + first, m_channels - first, m_x);
        m_r.heldRows[slot] = row;
    }

    // Destination row i from one or two waiting rows of sums, weighed, by the fused last
    // steps (rows of final sums wait with weight 1); of the colours alone where `opaque`.
    void Finish(int32_t i, Sum* const (*rows)[kMaxChannels], const uint32_t* weights, int taps, bool opaque)
    {
        FinishJob job;
        const ptrdiff_t at = ptrdiff_t(i) * m_out.stride;
        for (int c = 0; c < 4; ++c) {
            // Sums a run does not take (alpha where opaque, a second tap) are never read.
            for (int k = 0; k < 2; ++k)
                job.sums[k][c] = k < taps && c < m_channels && (c > 0 || !opaque)
                                     ? reinterpret_cast<const uint32_t*>(rows[k][c])
                                     : nullptr;
            job.out[c] = c < m_channels ? m_out.planes[c] + at : nullptr;
        }
        job.weights[0] = weights[0];
        job.weights[1] = taps == 2 ? weights[1] : 0;
        job.totals = m_x.totals;
        job.reciprocals = m_x.reciprocals;
        job.rowTotal = m_y.totals[i];
        job.rowReciprocal = SumReciprocal(m_y.totals[i]);
        job.reached = m_x.reached;
        job.uniform = m_x.uniform;
        job.n = m_x.count;
        Rows<Sum>::Finish(opaque, m_r.colours, taps, job);
    }

    // Destination row i divided into the planes the output has: alpha = alpha sum /
    // weight total, colour = colour sum / alpha sum (or / weight total without alpha).
    void Divide(int32_t i, Sum* const* sums, bool opaque)
    {
        if (m_fused) {
            Sum* const rows[1][kMaxChannels] = {{sums[0], sums[1], sums[2], sums[3], sums[4]}};
            const uint32_t one = 1;
            Finish(i, rows, &one, 1, opaque);
            return;
        }
        const int32_t n = m_x.count;
        const ptrdiff_t at = ptrdiff_t(i) * m_out.stride;
        Sum* totals = Array<Sum>(m_layout.totals);
        float* byTotal = Array<float>(m_layout.reciprocals);
        float* byAlpha = byTotal + n;
        Rows<Sum>::Scale(totals, m_x.totals, m_y.totals[i], n);
        if (!m_r.alpha || m_out.planes[0])
            Rows<Sum>::Reciprocals(byTotal, totals, n);
        if (m_r.alpha && m_out.planes[0])
            Rows<Sum>::Divide(m_out.planes[0] + at, sums[0], totals, byTotal, n, m_write255);
        if (m_r.alpha && m_r.colours > 0)
            Rows<Sum>::Reciprocals(byAlpha, sums[0], n);
        const Sum* colourDivisor = m_r.alpha ? sums[0] : totals;
        const float* colourReciprocals = m_r.alpha ? byAlpha : byTotal;
        for (int k = 0; k < m_r.colours; ++k)
            if (uint8_t* plane = m_out.planes[1 + k])
                Rows<Sum>::Divide(plane + at, sums[m_r.alpha ? k + 1 : k], colourDivisor, colourReciprocals, n,
                                  m_write255);
    }

    BLStripResampler& m_r;
    const BLAxisPlan& m_x;
    const BLAxisPlan& m_y;
    const PlaneView& m_strip;
    int32_t m_stripFirst;
    const PlaneView& m_out;
    bool m_write255;
    Layout m_layout;
    int m_channels;
    bool m_fused = false;
    bool m_opaque = false;
    Sum* m_values[kMaxChannels] = {};
    Sum* m_sums[kMaxChannels] = {};
};

template <class Sum>
void RunStrip(BLStripResampler& r, const PlaneView& strip, int32_t stripFirst, int32_t stripEnd,
              BLStripProgress& progress, int32_t destEnd, const PlaneView& out, bool write255)
{
    const BLAxisPlan& y = *r.y;
    StripRun<Sum> run(r, strip, stripFirst, stripEnd, out, write255);
    while (progress.row < destEnd) {
        const int32_t i = progress.row;
        const int32_t first = y.start[i], end = first + y.taps;
        if (y.totals[i] == 0) {
            if (write255)
                run.Fill255(i);
        } else if (r.columnsFirst) {
            if (first < stripFirst || end > stripEnd)
                return;
            run.WeighHeldRows(i);
        } else {
            const int32_t from = first + progress.taps;
            if (from < stripFirst || from >= stripEnd)
                return;
            // A row summed over more than one strip takes the sums of any source.
            const bool opaque = run.Opaque() && progress.taps == 0 && end <= stripEnd;
            const int32_t to = std::min(end, stripEnd);
            run.AddTaps(i, progress.taps, to - first, progress.summing, opaque);
            progress.taps = to - first;
            if (to < end)
                return;
            run.GatherColumns(i, opaque);
        }
        progress = {i + 1, 0, false};
    }
}

}  // namespace

BLStripResampler MakeStripResampler(const BLAxisPlan& x, const BLAxisPlan& y, bool alpha, int colours,
                                    int32_t stripRows)
{
    BLStripResampler r;
    r.x = &x;
    r.y = &y;
    r.alpha = alpha;
    r.colours = colours;
    // A colour sum is at most 255 x 255 (without alpha 255) times its weight total.
    const uint64_t largest = uint64_t{x.largestTotal} * y.largestTotal * (alpha ? 255 * 255 : 255);
    r.wide = largest > UINT32_MAX;
    // Gathering across a row costs about four times a weighed pass over it. Columns first
    // needs a destination row's sources in one strip.
    constexpr uint64_t kGather = 4;
    const uint64_t gatherRow = kGather * uint64_t(x.taps) * uint64_t(x.count);
    const uint64_t rowsFirst = uint64_t(y.count) * (uint64_t(y.taps) * uint64_t(x.sources) + gatherRow);
    const uint64_t columnsFirst = uint64_t(y.sources) * gatherRow + uint64_t(y.count) * y.taps * uint64_t(x.count);
    r.columnsFirst = y.taps <= stripRows && columnsFirst < rowsFirst;
    return r;
}

uint64_t StripScratchBytes(const BLStripResampler& resampler)
{
    return LayoutOf(resampler).bytes;
}

void AttachStripScratch(BLStripResampler& resampler, void* scratch)
{
    resampler.scratch = static_cast<uint8_t*>(scratch);
    resampler.heldRows = reinterpret_cast<int32_t*>(resampler.scratch + LayoutOf(resampler).held);
    if (resampler.columnsFirst)
        for (int32_t slot = 0; slot < resampler.y->taps; ++slot)
            resampler.heldRows[slot] = -1;
}

int32_t NextStripFirst(const BLStripResampler& resampler, const BLStripProgress& progress)
{
    const BLAxisPlan& y = *resampler.y;
    int32_t row = progress.row;
    while (row < y.count && y.totals[row] == 0)
        ++row;
    if (row >= y.count)
        return y.sources;
    return y.start[row] + (row == progress.row ? progress.taps : 0);
}

void ResampleStrip(BLStripResampler& resampler, const PlaneView& strip, int32_t stripFirst, int32_t stripEnd,
                   BLStripProgress& progress, int32_t destEnd, const PlaneView& out, ZeroDivisor rule)
{
    const bool write255 = rule == ZeroDivisor::Write255;
    if (resampler.wide)
        RunStrip<uint64_t>(resampler, strip, stripFirst, stripEnd, progress, destEnd, out, write255);
    else
        RunStrip<uint32_t>(resampler, strip, stripFirst, stripEnd, progress, destEnd, out, write255);
}

}  // namespace lumatra
