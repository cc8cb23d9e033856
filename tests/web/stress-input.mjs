// The stress walk's seeded choices, the texts a player types into the fields, and what an edit keeps of
// them.
import { IDC } from './page.mjs';
import { kHighestNumber, kLowestNumber, kTipFields } from './stress-dialogs.mjs';

const kLongestDigitString = 25;
const kLargestFieldNumber = 4294967295;

// Each step draws from a generator seeded with the walk's seed and the step's number, so a replay takes
// the same steps even where the page's own numbers (its tips, its replacements and so how many warnings
// a Start brings) come out differently.
export function stepRandom(seed, step) {
    let state = (seed ^ Math.imul(step + 1, 0x9e3779b9)) >>> 0;
    const next = () => { // mulberry32
        state = (state + 0x6d2b79f5) >>> 0;
        let t = Math.imul(state ^ (state >>> 15), state | 1);
        t ^= t + Math.imul(t ^ (t >>> 7), t | 61);
        return ((t ^ (t >>> 14)) >>> 0) / 2 ** 32;
    };
    const random = {
        pick: (count) => Math.floor(next() * count),
        between: (lowest, highest) => lowest + random.pick(highest - lowest + 1),
        chance: (probability) => next() < probability,
        digits: (count) => Array.from({ length: count }, () => random.pick(10)).join(''),
        // One of [weight, action] pairs, by weight.
        choose(choices) {
            let left = next() * choices.reduce((sum, [weight]) => sum + weight, 0);
            return choices.find(([weight]) => (left -= weight) < 0)?.[1] ?? choices.at(-1)[1];
        },
    };
    return random;
}

// The kinds of text a player types into a tip field, mostly numbers; the page takes only digits.
export function tipText(random, main) {
    switch (random.pick(12)) {
    case 0: return '0';
    case 1: return '50';
    case 2: return '';
    case 3: return `1${random.digits(random.between(2, kLongestDigitString))}`;
    case 4: return main[IDC.TIP_FIRST + random.pick(kTipFields)]; // likely a repeat
    case 5: return `0${random.between(kLowestNumber, kHighestNumber)}`;
    case 6: return `x${random.between(kLowestNumber, kHighestNumber)}a`;
    case 7: return ['-', '+', ' ', 'ä'][random.pick(4)] + random.between(kLowestNumber, kHighestNumber);
    default: return String(random.between(kLowestNumber, kHighestNumber));
    }
}

// Empty, 0, ordinary, huge, past 32 bits, and (for Pf) over 99, some with what no price has.
export function priceText(random, pfennig) {
    switch (random.pick(9)) {
    case 0: return '';
    case 1: return '0';
    case 2: return String(random.between(0, kLargestFieldNumber));
    case 3: return `9${random.digits(random.between(10, 19))}`;
    case 4: return pfennig ? String(random.between(100, 99999)) : String(kLargestFieldNumber);
    case 5: return ['1.234,50', ' 12 DM', '+7', 'ä3'][random.pick(4)];
    default: return String(random.between(0, pfennig ? 99 : 999));
    }
}

// What an edit shows after all its text was selected and the text typed: the digits, as many as fit,
// or the old text where the player typed nothing it takes.
export function typedResult(old, text, maxDigits) {
    if (text === '') return '';
    const digits = text.replace(/[^0-9]/g, '');
    return digits === '' ? old : digits.slice(0, maxDigits);
}
