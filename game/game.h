#pragma once

// The moves of a hand of draw poker, all on gameSession.

// Takes the one-dollar bet and deals five cards from a fresh shuffle, in
// ascending rank order. Does not repaint.
void DealHand();

// Marks or unmarks the card at position 0..4 for discard, within the limit
// of three (five with fiveDiscards); a refused mark does nothing at all.
void ToggleDiscardMark(int position);

// Replaces the marked cards, names the final hand, pays it and repaints.
void DrawCards();

// Repaints the whole row before returning. The game only calls it: the
// program that shows the game defines it (the item repaints its row; a
// program without a row defines one of its own).
void RefreshItem();
