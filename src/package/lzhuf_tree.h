// The adaptive Huffman tree of LZHUF for literals and match lengths. Encoder and
// decoder keep identical trees in step: both call update() once per symbol.
#pragma once

#include "lzhuf_tables.h"

namespace kq::lzhuf {

struct HuffTree {
    uint16_t freq[T + 1];       // node frequencies; freq[T] is a 0xFFFF sentinel
    uint16_t son[T];            // >= T: leaf for symbol son - T; else first child
    uint16_t prnt[T + N_CHAR];  // parent of each node; prnt[T + s] is leaf of s
};

void StartHuff(HuffTree& tree);
void reconst(HuffTree& tree);

// Counts one occurrence of symbol c and restores the sibling order by moving
// the incremented node past its equals, all the way up to the root.
inline void update(HuffTree& tree, int c) {
    uint16_t* const freq = tree.freq;
    uint16_t* const son = tree.son;
    uint16_t* const prnt = tree.prnt;
    if (freq[R] == MAX_FREQ) reconst(tree);
    int node = prnt[c + T];
    do {
        const unsigned k = ++freq[node];
        int l = node + 1;
        if (k > freq[l]) {
            while (k > freq[l + 1]) ++l;
            freq[node] = freq[l];
            freq[l] = static_cast<uint16_t>(k);
            const int i = son[node];
            prnt[i] = static_cast<uint16_t>(l);
            if (i < T) prnt[i + 1] = static_cast<uint16_t>(l);
            const int j = son[l];
            son[l] = static_cast<uint16_t>(i);
            prnt[j] = static_cast<uint16_t>(node);
            if (j < T) prnt[j + 1] = static_cast<uint16_t>(node);
            son[node] = static_cast<uint16_t>(j);
            node = l;
        }
        node = prnt[node];
    } while (node != 0);
}

}  // namespace kq::lzhuf
