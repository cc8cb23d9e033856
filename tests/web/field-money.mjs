// The program's reading of a number field and its money to the Pfennig, in BigInt, so a walk can work
// out what the loss dialog must show from what both dialogs show.

// The number fields look at no more of a field's text, as UTF-8, than this many bytes.
const kFieldBytesRead = 29;
const kLargestFieldNumber = 2n ** 32n - 1n;
const kLargestAmount = 2n ** 63n - 1n;
const kPfennigPerMark = 100n;
const utf8 = new TextEncoder();

// Blanks, a sign and the digits up to the first other character; no digits or a value past 32 bits
// read 0, and a minus sign gives the 32-bit two's complement.
export function fieldNumber(text) {
    const [, sign, digits] = new TextDecoder().decode(utf8.encode(text).subarray(0, kFieldBytesRead))
        .match(/^[ \t\n\v\f\r]*([-+]?)(\d*)/);
    const value = digits === '' ? 0n : BigInt(digits);
    if (value > kLargestFieldNumber) return 0n;
    return sign === '-' ? (2n ** 32n - value) % 2n ** 32n : value;
}

// A price's DM and Pf fields as one amount; 150 Pf count as 1 DM 50 Pf.
export const readAmount = (dmText, pfText) => fieldNumber(dmText) * kPfennigPerMark + fieldNumber(pfText);

// What an amount's DM and Pf fields show: both truncated toward zero and carrying its sign.
export const shownAmount = (amount) => [String(amount / kPfennigPerMark), String(amount % kPfennigPerMark)];

// The amount a pair of result fields shows.
export const amountShown = (dmText, pfText) => BigInt(dmText) * kPfennigPerMark + BigInt(pfText);

// Amounts too large for 64 bits stay at the largest.
const product = (count, price) => {
    const exact = count * price;
    return exact > kLargestAmount ? kLargestAmount : exact;
};
const sum = (a, b) => (a + b > kLargestAmount ? kLargestAmount : a + b);

// Costs, winnings and total of the games played at the prices: stake, then the prizes for 3 to 6 hits.
export function losses(prices, gamesPlayed, hitClasses) {
    const costs = product(gamesPlayed, prices[0]);
    const winnings = [3, 4, 5, 6].reduce((won, hits) => sum(product(hitClasses[hits], prices[hits - 2]), won), 0n);
    return { costs, winnings, total: winnings - costs };
}
