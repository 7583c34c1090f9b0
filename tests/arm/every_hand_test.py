"""The DLL's own ScoreHand, run on the StrongARM model, against the host
build of the same sources, hand by hand: category (by the name it gives)
and payout.

  every_hand_test.py PART PARTS [--all]

The suite takes one hand in 16, and every hand with four cards of a rank
or five of a suit (the rare categories, all of them), PART of PARTS of
those so that the parts run side by side; --all takes all 2,598,960.
"""

import itertools
import os
import struct
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from device_stubs import DeviceStubs  # noqa: E402
from harness import Machine, build_path  # noqa: E402

EVERY_HAND = 2598960
SAMPLE_STRIDE = 16


def every_hand():
    """The hands in the order both sides number them."""
    return itertools.combinations(range(1, 53), 5)


def rare_hands():
    """Every hand of five cards of one suit, and of four of one rank."""
    suited = {hand for suit in range(4) for hand in itertools.combinations(range(13 * suit + 1, 13 * suit + 14), 5)}
    fours = set()
    for rank in range(1, 14):
        four = [rank + 13 * suit for suit in range(4)]
        fours |= {tuple(sorted(four + [kicker])) for kicker in range(1, 53) if kicker not in four}
    return suited | fours


def choose(part, parts, everything):
    rare = rare_hands()
    chosen = bytearray(EVERY_HAND)
    cards = bytearray()
    taken = 0
    for index, hand in enumerate(every_hand()):
        if everything or index % SAMPLE_STRIDE == 0 or hand in rare:
            if taken % parts == part:
                chosen[index] = 1
                cards += bytes(hand)
            taken += 1
    return chosen, cards


def host_answers(chosen):
    with tempfile.NamedTemporaryFile() as choice, tempfile.NamedTemporaryFile() as answers:
        choice.write(chosen)
        choice.flush()
        names = subprocess.run([build_path("TOLVANE_REFERENCE"), "hands", choice.name, answers.name],
                               check=True, capture_output=True, text=True).stdout
        results = answers.read()
    names = dict(line.split(" ", 1) for line in names.splitlines())
    return list(struct.iter_unpack("<hh", results)), {int(k): v for k, v in names.items()}


def main(part, parts, everything):
    chosen, cards = choose(part, parts, everything)
    count = len(cards) // 5
    machine = Machine(DeviceStubs(), check_alignment=False)
    machine.bind("wcscpy", machine.probe_symbols.by_name["ProbeWcscpy"])
    hands = machine.alloc(len(cards))
    machine.write(hands, cards)
    answers = machine.alloc(8 * count)
    started = time.monotonic()
    machine.call(machine.probe_symbols.by_name["ScoreHands"], machine.function("_Z9ScoreHandRK8CardHandPw"),
                 hands, count, answers, description=f"ScoreHand of {count} hands")
    seconds = time.monotonic() - started
    arm = list(struct.iter_unpack("<Ii", machine.read(answers, 8 * count)))
    texts = {address: machine.wide_string(address) for address in {text for text, _ in arm}}

    host, names = host_answers(chosen)
    if len(host) != count:
        sys.exit(f"the host answered {len(host)} hands, the ARM code {count}")
    wrong = 0
    for at, ((text, payout), (category, host_payout)) in enumerate(zip(arm, host)):
        if texts[text] != names[category] or payout != host_payout:
            wrong += 1
            if wrong <= 10:
                print(f"{list(cards[5 * at : 5 * at + 5])}: ARM \"{texts[text]}\" pays {payout}, "
                      f"host \"{names[category]}\" pays {host_payout}")
    per_category = [sum(1 for c, _ in host if c == n) for n in range(10)]
    print(f"{count} hands in {seconds:.1f} s on the StrongARM model, {count / seconds:.0f} a second; "
          f"{wrong} differ from the host build")
    print("by category:", ", ".join(f"{names.get(n, n)} {k}" for n, k in enumerate(per_category)))
    return 1 if wrong else 0


if __name__ == "__main__":
    arguments = [a for a in sys.argv[1:] if a != "--all"]
    if len(arguments) != 2:
        sys.exit(__doc__)
    sys.exit(main(int(arguments[0]), int(arguments[1]), "--all" in sys.argv))
