#include "engine/pass_two_reach.h"

extern "C" {
#include <libavutil/opt.h>
}

#include <algorithm>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

// The types, the order of the operations and the constants below are libavcodec's own, so
// that each sum comes out to the same bit and the judgement is the one libavcodec would make.
namespace engine {

namespace {

constexpr int QpToLambda = 118; // FF_QP2LAMBDA
constexpr int LambdaMax = 256 * 128 - 1;
constexpr int PictureTypes = 5; // AV_PICTURE_TYPE_NONE .. AV_PICTURE_TYPE_S
// The search halves its step from 65536 down to 1e-7: 40 tries, each of which may be too big.
constexpr int Tries = 40;

// One picture of the analysis pass, as the rate control reads it.
struct Entry
{
    int pictType = AV_PICTURE_TYPE_P;
    float qscale = 0;
    int mvBits = 0;
    int iTexBits = 0;
    int pTexBits = 0;
    int miscBits = 0;
    float newQscale = 0;
};

// The encoder's settings that the sums use.
struct Settings
{
    double fps = 0;
    std::int64_t bitRate = 0;
    float iQuantFactor = 0;
    float iQuantOffset = 0;
    float qcompress = 0;
    float qblur = 0;
    int maxQdiff = 0;
    int lmin = 0;
    int lmax = 0;
    int mbNum = 0;
};

std::int64_t option(const AVCodecContext &encoder, const char *name, std::int64_t otherwise)
{
    std::int64_t value = 0;
    return av_opt_get_int(encoder.priv_data, name, 0, &value) >= 0 ? value : otherwise;
}

// False for a set-up that the sums below do not cover.
bool readSettings(const AVCodecContext &e, Settings &s)
{
    double squish = 0;
    std::uint8_t *equation = nullptr;
    if (e.priv_data && av_opt_get(e.priv_data, "rc_eq", 0, &equation) >= 0 && equation) {
        const char *text = reinterpret_cast<char *>(equation);
        const bool standard = !*text || std::strcmp(text, "tex^qComp") == 0;
        av_free(equation);
        if (!standard)
            return false;
    }
    if (e.priv_data && av_opt_get_double(e.priv_data, "qsquish", 0, &squish) >= 0 && squish != 0)
        return false;
    if (e.max_b_frames > 0 || e.rc_buffer_size != 0 || e.rc_override_count != 0
        || option(e, "rc_qmod_freq", 0) != 0 || e.time_base.num <= 0)
        return false;
    s.fps = 1.0 / av_q2d(e.time_base) / std::max(e.ticks_per_frame, 1);
    s.bitRate = e.bit_rate;
    s.iQuantFactor = e.i_quant_factor;
    s.iQuantOffset = e.i_quant_offset;
    s.qcompress = e.qcompress;
    s.qblur = e.qblur;
    s.maxQdiff = e.max_qdiff;
    s.lmin = static_cast<int>(option(e, "lmin", std::int64_t{2} * QpToLambda));
    s.lmax = static_cast<int>(option(e, "lmax", std::int64_t{31} * QpToLambda));
    s.mbNum = ((e.width + 15) / 16) * ((e.height + 15) / 16);
    return true;
}

enum class Parsed { Entries, Damaged };

// One line a picture, ended by ';'. Pictures the lines leave out count as skipped P-frames.
Parsed parse(const char *statistics, int mbNum, std::vector<Entry> &entries)
{
    int count = -1;
    for (const char *p = statistics; p; ++count)
        p = std::strchr(p + 1, ';');
    if (count <= 0)
        return Parsed::Damaged;
    Entry skipped;
    skipped.qscale = skipped.newQscale = static_cast<float>(QpToLambda * 2);
    skipped.miscBits = mbNum + 10;
    entries.assign(static_cast<size_t>(count), skipped);
    std::string line;
    const char *p = statistics;
    for (int i = 0; i < count && p; ++i) {
        const char *next = std::strchr(p, ';');
        line.assign(p, next ? static_cast<size_t>(next - p) : std::strlen(p));
        p = next ? next + 1 : nullptr;
        int number = -1;
        Entry e = skipped;
        int fCode = 0;
        int bCode = 0;
        int iCount = 0;
        int skipCount = 0;
        int headerBits = 0;
        std::int64_t mcVar = 0;
        std::int64_t var = 0;
        const int got = std::sscanf(line.c_str(),
                                    " in:%d out:%*d type:%d q:%f itex:%d ptex:%d mv:%d misc:%d "
                                    "fcode:%d bcode:%d mc-var:%" SCNd64 " var:%" SCNd64
                                    " icount:%d skipcount:%d hbits:%d",
                                    &number,
                                    &e.pictType,
                                    &e.qscale,
                                    &e.iTexBits,
                                    &e.pTexBits,
                                    &e.mvBits,
                                    &e.miscBits,
                                    &fCode,
                                    &bCode,
                                    &mcVar,
                                    &var,
                                    &iCount,
                                    &skipCount,
                                    &headerBits);
        if (got != 14 || number < 0 || number >= count || e.pictType < 0
            || e.pictType >= PictureTypes)
            return Parsed::Damaged;
        e.newQscale = e.qscale;
        entries[static_cast<size_t>(number)] = e;
    }
    return Parsed::Entries;
}

class RateSearch
{
public:
    RateSearch(const Settings &s, std::vector<Entry> &entries)
        : m_s(s)
        , m_entries(entries)
        , m_qscale(entries.size())
        , m_blurred(entries.size())
    {
        for (double &q : m_lastQscaleFor)
            q = QpToLambda * 5;
    }
    bool reachable();

private:
    double qscale(const Entry &e, double rateFactor) const;
    double diffLimited(const Entry &e, double q);
    void qminmax(int type, int &qmin, int &qmax) const;
    double modified(const Entry &e, double q) const;
    double expectedBits(double rateFactor);

    const Settings &m_s;
    std::vector<Entry> &m_entries;
    std::vector<double> m_qscale;
    std::vector<double> m_blurred;
    double m_lastQscaleFor[PictureTypes] = {};
    int m_lastNonBType = AV_PICTURE_TYPE_NONE;
};

// The rate equation "tex^qComp" for one picture, scaled, as a quantiser.
double RateSearch::qscale(const Entry &e, double rateFactor) const
{
    double bits = std::pow((e.iTexBits + e.pTexBits) * static_cast<double>(e.qscale),
                           static_cast<double>(m_s.qcompress));
    if (std::isnan(bits))
        return -1;
    bits *= rateFactor;
    if (bits < 0.0)
        bits = 0.0;
    bits += 1.0;
    double q = e.qscale * static_cast<double>(e.iTexBits + e.pTexBits + 1) / bits;
    if (e.pictType == AV_PICTURE_TYPE_I && m_s.iQuantFactor < 0.0f)
        q = -q * m_s.iQuantFactor + m_s.iQuantOffset;
    if (q < 1)
        q = 1;
    return q;
}

double RateSearch::diffLimited(const Entry &e, double q)
{
    const int type = e.pictType;
    const double lastP = m_lastQscaleFor[AV_PICTURE_TYPE_P];
    if (type == AV_PICTURE_TYPE_I
        && (m_s.iQuantFactor > 0.0f || m_lastNonBType == AV_PICTURE_TYPE_P))
        q = lastP * std::abs(m_s.iQuantFactor) + m_s.iQuantOffset;
    if (q < 1)
        q = 1;
    if (m_lastNonBType == type || type != AV_PICTURE_TYPE_I) {
        const double last = m_lastQscaleFor[type];
        const int maxDiff = QpToLambda * m_s.maxQdiff;
        if (q > last + maxDiff)
            q = last + maxDiff;
        else if (q < last - maxDiff)
            q = last - maxDiff;
    }
    m_lastQscaleFor[type] = q;
    if (type != AV_PICTURE_TYPE_B)
        m_lastNonBType = type;
    return q;
}

void RateSearch::qminmax(int type, int &qmin, int &qmax) const
{
    qmin = m_s.lmin;
    qmax = m_s.lmax;
    // Rounded as libavcodec's rate control rounds, which this follows.
    if (type == AV_PICTURE_TYPE_I) {
        // NOLINTNEXTLINE(bugprone-incorrect-roundings)
        qmin = static_cast<int>(qmin * std::abs(m_s.iQuantFactor) + m_s.iQuantOffset + 0.5);
        // NOLINTNEXTLINE(bugprone-incorrect-roundings)
        qmax = static_cast<int>(qmax * std::abs(m_s.iQuantFactor) + m_s.iQuantOffset + 0.5);
    }
    qmin = std::clamp(qmin, 1, LambdaMax);
    qmax = std::clamp(qmax, 1, LambdaMax);
    if (qmax < qmin)
        qmax = qmin;
}

double RateSearch::modified(const Entry &e, double q) const
{
    int qmin = 0;
    int qmax = 0;
    qminmax(e.pictType, qmin, qmax);
    if (q < qmin)
        q = qmin;
    else if (q > qmax)
        q = qmax;
    return q;
}

// The bits the whole video would take at this rate factor: quantisers from the equation,
// held within a few steps of their neighbours, blurred, clipped.
double RateSearch::expectedBits(double rateFactor)
{
    const size_t n = m_entries.size();
    for (size_t i = 0; i < n; ++i) {
        m_qscale[i] = qscale(m_entries[i], rateFactor);
        m_lastQscaleFor[m_entries[i].pictType] = m_qscale[i];
    }
    for (size_t i = n > 300 ? n - 300 : 0; i < n; ++i)
        m_qscale[i] = diffLimited(m_entries[i], m_qscale[i]);
    for (size_t i = n; i-- > 0;)
        m_qscale[i] = diffLimited(m_entries[i], m_qscale[i]);

    const int filterSize = static_cast<int>(m_s.qblur * 4) | 1;
    for (size_t i = 0; i < n; ++i) {
        double q = 0.0;
        double sum = 0.0;
        for (int j = 0; j < filterSize; ++j) {
            const std::int64_t index = static_cast<std::int64_t>(i) + j - filterSize / 2;
            const auto d = static_cast<double>(index - static_cast<std::int64_t>(i));
            const double coeff = m_s.qblur == 0 ? 1.0 : std::exp(-d * d / (m_s.qblur * m_s.qblur));
            if (index < 0 || index >= static_cast<std::int64_t>(n)
                || m_entries[i].pictType != m_entries[static_cast<size_t>(index)].pictType)
                continue;
            q += m_qscale[static_cast<size_t>(index)] * coeff;
            sum += coeff;
        }
        m_blurred[i] = q / sum;
    }

    double expected = 0;
    for (size_t i = 0; i < n; ++i) {
        Entry &e = m_entries[i];
        e.newQscale = static_cast<float>(modified(e, m_blurred[i]));
        const double qp = e.newQscale;
        expected += e.qscale * static_cast<double>(e.iTexBits + e.pTexBits + 1) / qp + e.mvBits
                    + e.miscBits;
    }
    return expected;
}

bool RateSearch::reachable()
{
    std::uint64_t constBits = 0;
    for (const Entry &e : m_entries) {
        if (e.pictType >= AV_PICTURE_TYPE_I && e.pictType <= AV_PICTURE_TYPE_B)
            constBits += static_cast<std::uint64_t>(e.mvBits + e.miscBits);
    }
    const auto available = static_cast<std::uint64_t>(
            static_cast<double>(m_s.bitRate) * static_cast<double>(m_entries.size()) / m_s.fps);
    if (available < constBits)
        return false; // "requested bitrate is too low"
    int tooBig = 0;
    double rateFactor = 0;
    double expected = 0;
    for (double step = 256 * 256; step > 0.0000001; step *= 0.5) {
        rateFactor += step;
        expected = expectedBits(rateFactor);
        if (expected > static_cast<double>(available)) {
            rateFactor -= step;
            ++tooBig;
        }
    }
    if (tooBig == 0)
        return true;
    if (tooBig == Tries)
        return false; // "bitrate too low for this video with these parameters"
    // "2pass curve failed to converge"
    return std::fabs(expected / static_cast<double>(available) - 1.0) <= 0.01;
}

} // namespace

bool finalPassReachable(const AVCodecContext &encoder, const char *statistics)
{
    Settings settings;
    if (!statistics || !readSettings(encoder, settings))
        return true;
    std::vector<Entry> entries;
    // Lines libavcodec could not read make it fail cleanly or, out of range, abort: either
    // way the final pass cannot use them.
    if (parse(statistics, settings.mbNum, entries) == Parsed::Damaged)
        return false;
    return RateSearch(settings, entries).reachable();
}

} // namespace engine
