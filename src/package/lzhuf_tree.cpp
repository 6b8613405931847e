// Building and rebuilding the LZHUF code tree.
#include "package/lzhuf_tree.h"

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
    for (int i = T; i < T + 16; ++i) tree.freq[i] = 0xFFFF;
    tree.prnt[R] = 0;
}

size_t Exchange(HuffTree& tree, size_t node, unsigned k) {
    uint16_t* const freq = tree.freq;
    uint16_t* const son = tree.son;
    uint16_t* const prnt = tree.prnt;
    size_t l = node + 1;
    while (k > freq[l + 1]) ++l;
    freq[node] = freq[l];
    freq[l] = static_cast<uint16_t>(k);
    const size_t i = son[node];
    prnt[i] = static_cast<uint16_t>(l);
    if (i < T) prnt[i + 1] = static_cast<uint16_t>(l);
    const size_t j = son[l];
    son[l] = static_cast<uint16_t>(i);
    prnt[j] = static_cast<uint16_t>(node);
    if (j < T) prnt[j + 1] = static_cast<uint16_t>(node);
    son[node] = static_cast<uint16_t>(j);
    return l;
}

// Halves every leaf frequency and builds a fresh tree from the leaves, keeping
// the nodes sorted by frequency (equal frequencies: the newer node goes last).
//
// Built in one pass rather than by insertion: the leaves stay sorted when
// halved, each new node counts at least as much as the one made before it,
// and a new node lands after every leaf of equal count. So each position in
// turn takes the next leaf or the next node (made from positions already
// final), whichever counts less, the leaf on a tie.
void reconst(HuffTree& tree) {
    uint16_t* const freq = tree.freq;
    uint16_t* const son = tree.son;
    // The leaves, in order, move to the top N_CHAR positions. Walking down,
    // the one written never lies below the one read.
    int j = T;
    for (int i = T - 1; i >= 0; --i) {
        if (son[i] >= T) {
            --j;
            freq[j] = static_cast<uint16_t>((freq[i] + 1) / 2);
            son[j] = son[i];
        }
    }
    // Positions fill from the bottom. A leaf is read before its position can
    // be overwritten: at most N_CHAR - 1 nodes are placed ahead of it.
    int leaf = T - N_CHAR;
    int pair = 0;  // first child of the next node to make
    for (int pos = 0; pos < T; ++pos) {
        const bool node_ready = pair + 1 < pos;
        const unsigned f = node_ready ? static_cast<unsigned>(freq[pair]) + freq[pair + 1] : 0;
        if (leaf < T && (!node_ready || freq[leaf] <= f)) {
            freq[pos] = freq[leaf];
            son[pos] = son[leaf];
            ++leaf;
        } else {
            freq[pos] = static_cast<uint16_t>(f);
            son[pos] = static_cast<uint16_t>(pair);
            pair += 2;
        }
    }
    for (int i = 0; i < T; ++i) {
        const int k = son[i];
        tree.prnt[k] = static_cast<uint16_t>(i);
        if (k < T) tree.prnt[k + 1] = static_cast<uint16_t>(i);
    }
}

}  // namespace kq::lzhuf
