#include "encode.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace snd {

namespace {

bool encode(const std::string& path, const float* const* chans, int nch, size_t frames, float quality) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        std::printf("audiogen: cannot write %s\n", path.c_str());
        return false;
    }
    vorbis_info vi;
    vorbis_info_init(&vi);
    if (vorbis_encode_init_vbr(&vi, nch, kRate, quality) != 0) {
        std::printf("audiogen: encoder refused %s\n", path.c_str());
        vorbis_info_clear(&vi);
        std::fclose(f);
        return false;
    }
    vorbis_comment vc;
    vorbis_comment_init(&vc);
    vorbis_comment_add_tag(&vc, "ENCODER", "ombrivale audiogen");
    vorbis_dsp_state vd;
    vorbis_block vb;
    vorbis_analysis_init(&vd, &vi);
    vorbis_block_init(&vd, &vb);
    ogg_stream_state os;
    ogg_stream_init(&os, 0x0B81A1E);  // fixed serial: identical input gives identical bytes

    bool ok = true;
    auto put = [&](const ogg_page& pg) {
        ok = ok && std::fwrite(pg.header, 1, pg.header_len, f) == (size_t)pg.header_len;
        ok = ok && std::fwrite(pg.body, 1, pg.body_len, f) == (size_t)pg.body_len;
    };
    ogg_packet hdr, hdr_comm, hdr_code;
    vorbis_analysis_headerout(&vd, &vc, &hdr, &hdr_comm, &hdr_code);
    ogg_stream_packetin(&os, &hdr);
    ogg_stream_packetin(&os, &hdr_comm);
    ogg_stream_packetin(&os, &hdr_code);
    ogg_page og;
    while (ogg_stream_flush(&os, &og)) put(og);

    const size_t chunk = 4096;
    size_t pos = 0;
    bool eos = false;
    while (!eos) {
        size_t n = std::min(chunk, frames - pos);
        if (n == 0) {
            vorbis_analysis_wrote(&vd, 0);
        } else {
            float** buf = vorbis_analysis_buffer(&vd, (int)n);
            for (int c = 0; c < nch; ++c) std::memcpy(buf[c], chans[c] + pos, n * sizeof(float));
            vorbis_analysis_wrote(&vd, (int)n);
            pos += n;
        }
        while (vorbis_analysis_blockout(&vd, &vb) == 1) {
            vorbis_analysis(&vb, nullptr);
            vorbis_bitrate_addblock(&vb);
            ogg_packet op;
            while (vorbis_bitrate_flushpacket(&vd, &op)) {
                ogg_stream_packetin(&os, &op);
                while (ogg_stream_pageout(&os, &og)) {
                    put(og);
                    if (ogg_page_eos(&og)) eos = true;
                }
            }
        }
        if (n == 0 && !eos) {
            while (ogg_stream_flush(&os, &og)) put(og);
            eos = true;
        }
    }
    ogg_stream_clear(&os);
    vorbis_block_clear(&vb);
    vorbis_dsp_clear(&vd);
    vorbis_comment_clear(&vc);
    vorbis_info_clear(&vi);
    ok = (std::fclose(f) == 0) && ok;
    if (!ok) std::printf("audiogen: write failed for %s\n", path.c_str());
    return ok;
}

}  // namespace

bool write_ogg(const std::string& path, const Mono& m, float quality) {
    const float* ch[1] = {m.data()};
    return encode(path, ch, 1, m.size(), quality);
}

bool write_ogg(const std::string& path, const Stereo& s, float quality) {
    const float* ch[2] = {s.l.data(), s.r.data()};
    return encode(path, ch, 2, s.size(), quality);
}

bool write_wav16(const std::string& path, const Stereo& s) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        std::printf("audiogen: cannot write %s\n", path.c_str());
        return false;
    }
    auto u32 = [&](uint32_t v) {
        uint8_t b[4] = {(uint8_t)v, (uint8_t)(v >> 8), (uint8_t)(v >> 16), (uint8_t)(v >> 24)};
        std::fwrite(b, 1, 4, f);
    };
    auto u16 = [&](uint16_t v) {
        uint8_t b[2] = {(uint8_t)v, (uint8_t)(v >> 8)};
        std::fwrite(b, 1, 2, f);
    };
    uint32_t data = (uint32_t)(s.size() * 4);
    std::fwrite("RIFF", 1, 4, f);
    u32(36 + data);
    std::fwrite("WAVEfmt ", 1, 8, f);
    u32(16);
    u16(1);
    u16(2);
    u32(kRate);
    u32(kRate * 4);
    u16(4);
    u16(16);
    std::fwrite("data", 1, 4, f);
    u32(data);
    std::vector<uint8_t> pcm(data);
    for (size_t i = 0; i < s.size(); ++i) {
        const float v[2] = {s.l[i], s.r[i]};
        for (int c = 0; c < 2; ++c) {
            int q = (int)std::lround(std::clamp(v[c], -1.0f, 1.0f) * 32767.0f);
            pcm[i * 4 + c * 2] = (uint8_t)(q & 255);
            pcm[i * 4 + c * 2 + 1] = (uint8_t)((q >> 8) & 255);
        }
    }
    bool ok = std::fwrite(pcm.data(), 1, pcm.size(), f) == pcm.size();
    ok = (std::fclose(f) == 0) && ok;
    if (!ok) std::printf("audiogen: write failed for %s\n", path.c_str());
    return ok;
}

}  // namespace snd
