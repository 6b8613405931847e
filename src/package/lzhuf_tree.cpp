// Building and rebuilding the LZHUF code tree.
#include "lzhuf_tree.h"

namespace kq::lzhuf {

void StartHuff(HuffTree& tree) {
    for (int s = 0; s < N_CHAR; ++s) {
        tree.freq[s] = 1;
        tree.son[s] = static_cast<uint16_t>(s + T);
        tree.prnt[s + T] = static_cast<uint16_t>(s);
    }
    for (int i = 0, j = N_CHAR; j <= R; i += 2, ++j) {
        tree.freq[j] = static_cast<uint16_t>(tree.freq[i] + tree.freq[i + 1]);
        tree.son[j] = static_cast<uint16_t>(i);
        tree.prnt[i] = tree.prnt[i + 1] = static_cast<uint16_t>(j);
    }
    for (int i = T; i < T + 8; ++i) tree.freq[i] = 0xFFFF;
    tree.prnt[R] = 0;
}

// Halves every leaf frequency and builds a fresh tree from the leaves, keeping
// the nodes sorted by frequency (equal frequencies: the newer node goes last).
void reconst(HuffTree& tree) {
    uint16_t* const freq = tree.freq;
    uint16_t* const son = tree.son;
    int j = 0;
    for (int i = 0; i < T; ++i) {
        if (son[i] >= T) {
            freq[j] = static_cast<uint16_t>((freq[i] + 1) / 2);
            son[j] = son[i];
            ++j;
        }
    }
    for (int i = 0, node = N_CHAR; node < T; i += 2, ++node) {
        const unsigned f = static_cast<unsigned>(freq[i]) + freq[i + 1];
        int k = node - 1;
        while (f < freq[k]) --k;
        ++k;
        // Overlap-safe move of entries k .. node-1 up by one place.
        for (int m = node; m > k; --m) {
            freq[m] = freq[m - 1];
            son[m] = son[m - 1];
        }
        freq[k] = static_cast<uint16_t>(f);
        son[k] = static_cast<uint16_t>(i);
    }
    for (int i = 0; i < T; ++i) {
        const int k = son[i];
        tree.prnt[k] = static_cast<uint16_t>(i);
        if (k < T) tree.prnt[k + 1] = static_cast<uint16_t>(i);
    }
}

}  // namespace kq::lzhuf
