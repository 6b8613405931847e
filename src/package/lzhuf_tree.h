// The adaptive Huffman tree of LZHUF for literals and match lengths. Encoder and
// decoder keep identical trees in step: both call update() once per symbol.
#pragma once

#include <stddef.h>

#include "package/lzhuf_tables.h"

namespace kq::lzhuf {

struct HuffTree {
    uint16_t freq[T + 16];      // node frequencies; freq[T..T+15] are 0xFFFF sentinels
    uint16_t son[T];            // >= T: leaf for symbol son - T; else first child
    uint16_t prnt[T + N_CHAR];  // parent of each node; prnt[T + s] is leaf of s
};

void StartHuff(HuffTree& tree);
void reconst(HuffTree& tree);

// Moves the subtree at `node`, whose count has just become k, past the nodes
// that now count less (they all count k - 1, the frequencies being sorted):
// it swaps places with the last of them, l, and l's subtree takes its place.
// Returns l. Rare above the leaves, so it stays out of line and out of the
// way of the loop in update().
size_t Exchange(HuffTree& tree, size_t node, unsigned k);

// Counts one occurrence of symbol c and restores the sibling order by moving
// the incremented node past its equals, all the way up to the root.
//
// The caller has just walked c's code and passes the node it ended at, `leaf`
// (prnt[c + T]), so the work starts without waiting for that load.
//
// Returns the highest node whose son[] changed, 0 if none did (T after a
// rebuild), for callers that keep something derived from son[].
//
// Indices are size_t so that freq[node + 1] and friends fold into addressing.
inline size_t update(HuffTree& tree, int c, size_t leaf) {
    uint16_t* const freq = tree.freq;
    uint16_t* const son = tree.son;
    uint16_t* const prnt = tree.prnt;
    size_t node = leaf;
    size_t changed = 0;
    if (freq[R] == MAX_FREQ) {
        reconst(tree);
        node = prnt[c + T];
        changed = T;
    }
    {
        // The leaf: about half the time it must move past its equals, and how
        // far is anyone's guess, so this level counts them and exchanges
        // without branching (exchanging a node with itself changes nothing).
        // Sorted frequencies and the sentinels make the count the distance.
        const unsigned k = ++freq[node];
        size_t l = node;
        for (size_t m = 1; m <= 15; ++m) l += k > freq[node + m];
        if (l == node + 15) {
            while (k > freq[l + 1]) ++l;
        }
        freq[node] = freq[l];
        freq[l] = static_cast<uint16_t>(k);
        const size_t i = son[node];  // a leaf: no second child to re-parent
        prnt[i] = static_cast<uint16_t>(l);
        const size_t j = son[l];
        son[l] = static_cast<uint16_t>(i);
        prnt[j] = static_cast<uint16_t>(node);
        prnt[j + (j < T)] = static_cast<uint16_t>(node);
        son[node] = static_cast<uint16_t>(j);
        const size_t moved = l != node ? l : 0;
        changed = moved > changed ? moved : changed;
        node = prnt[l];
    }
    // Above the leaf an exchange is rare: the plain test is cheaper there.
    do {
        uint16_t* const f = freq + node;
        const unsigned k = ++*f;
        if (k > f[1]) {
            node = Exchange(tree, node, k);
            if (node > changed) changed = node;
        }
        node = prnt[node];
    } while (node != 0);
    return changed;
}

}  // namespace kq::lzhuf
