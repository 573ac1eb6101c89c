// The npm peers' side of bench/peers.sh: times one peer on one work and prints the
// nanoseconds of one unit of it, the median of several batches, as peer_orvida does.
//   node peers.mjs MODULES_DIR droll|rpg-dice-roller 1d20|999d6
// 1d20 is a whole roll of one d20 from its text (ns a roll), 999d6 rolls of 999 six-sided
// dice (ns a die). Each roll starts from the text, as a user's roll does.
import { createRequire } from 'node:module';
import path from 'node:path';

const [modules, peer, work] = process.argv.slice(2);
const require = createRequire(path.join(path.resolve(modules), 'noop.js'));

let roll;
if (peer === 'droll') {
  const droll = require('droll');
  roll = (text) => droll.roll(text).total;
} else if (peer === 'rpg-dice-roller') {
  const { DiceRoll } = await import(require.resolve('@dice-roller/rpg-dice-roller'));
  roll = (text) => new DiceRoll(text).total;
} else {
  throw new Error(`unknown peer ${peer}`);
}
const dice = { '1d20': 1, '999d6': 999 }[work];
if (!dice) throw new Error(`unknown work ${work}`);

let sink = 0;
// Nanoseconds per roll over a batch of rolls that lasts about 50 ms.
function timeBatch() {
  let rolls = 0;
  const start = process.hrtime.bigint();
  let elapsed = 0n;
  do {
    for (let i = 0; i < 10; ++i) sink += roll(work);
    rolls += 10;
    elapsed = process.hrtime.bigint() - start;
  } while (elapsed < 50_000_000n);
  return Number(elapsed) / rolls;
}

// Warm-up, a second and a half: rpg-dice-roller's rolls get ten times faster once the JIT
// has compiled them, which takes about a second.
const warmUpEnd = process.hrtime.bigint() + 1_500_000_000n;
while (process.hrtime.bigint() < warmUpEnd) timeBatch();
const batches = [];
for (let i = 0; i < 5; ++i) batches.push(timeBatch() / dice);
batches.sort((a, b) => a - b);
if (sink === 0.5) console.error(sink);
console.log(batches[2].toFixed(3));
