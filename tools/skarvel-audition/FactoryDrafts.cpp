#include "tools/skarvel-audition/FactoryDrafts.h"

#include <cctype>

namespace audition {

namespace {

using namespace skarvel;

using Settings = std::vector<std::pair<int, float>>;

Settings join(Settings base, std::initializer_list<std::pair<int, float>> more) {
  base.insert(base.end(), more);  // later entries win
  return base;
}

// How the library is built. Every melodic preset uses the band-pass melody: its band sits exactly
// an octave above the key whatever the velocity or the sample rate. The comb resonator cannot
// carry a tune: its delay follows the osc1 rate, which wanders by up to 10 % with osc1's own
// low-passed noise (tens of cents, most at low notes), and the rate's 25 Hz floor is only taken
// away by an envelope depth that velocity would change. So the comb gives drums, noises and
// effects their bodies. Levels are fitted with --fit-level, band-pass Level so that the shared
// band gain settles near the 30 it starts from (the first note after loading then plays at its
// level), releases are short enough for a four-note chord every two seconds to find free voices.

// Band-pass melody: each voice's noise is filtered by a narrow band one octave above the note
// (its width KT2Rate1 x half the note frequency); with ADSR2LP_HP1 at its centre the envelope
// does not move the band, so the pitch is exact at every velocity. The osc1 noise, low-passed
// and high-passed around 1550 Hz, puts its power near the bands of the middle keys, so the
// shared band gain settles near where it starts and the level holds from the first note.
const Settings kTone = {
    {kBpMelody, 1.0f}, {kAdsr2LpHp1, 0.5f}, {kRateScaleUp, 1.0f}, {kRate1, 0.7f}, {kLpHp1, 0.0f},
    {kDryWet, 0.0f},   {kAm, 0.0f},         {kFm, 0.0f},          {kLevel, 0.2f}, {kKt2Rate1, 0.05f},
    {kVelosens, 0.6f}, {kAttack1, 0.05f},   {kDecay1, 0.5f},      {kSustain1, 1.0f}, {kRelease1, 0.15f},
};

// Struck band-pass: no sustain, the band rings out with the envelope's decay.
const Settings kStruck = join(kTone, {{kAttack1, 0.0f}, {kSustain1, 0.0f}, {kDecay1, 0.6f}, {kRelease1, 0.15f}});

// Band-pass swept onto the note: the gate envelope sets the level while the ADSR, falling from
// full to a sustain of 0.001 (not 0, so the voice is not taken for a new note while its key is
// held), moves the band from the ADSR2LP_HP1 offset onto the note and leaves it there.
const Settings kSwept = join(kTone, {{kAdsr2Level, 1.0f}, {kAttack1, 0.0f}, {kSustain1, 0.001f}, {kDecay1, 0.15f},
                                     {kRelease1, 0.1f}});

// Unpitched noise from osc1 (2.8 kHz: faster noise makes its one-pole filters, and with them the
// level, depend on the sample rate), no resonator, no key tracking: shaped by the envelope (a
// 5 ms attack hides the step that a voice's filter states, left from its last note, make when it
// starts again) and the equaliser (its low-pass at 14.7 kHz at most, for the same reason).
const Settings kNoise = {
    {kRateScaleUp, 1.0f}, {kRate1, 0.8f}, {kKt2Rate1, 0.5f}, {kDryWet, 0.0f}, {kAm, 0.0f}, {kFm, 0.0f},
    {kLevel, 0.5f}, {kVelosens, 0.8f}, {kAttack1, 0.02f}, {kSustain1, 0.0f}, {kDecay1, 0.2f}, {kRelease1, 0.1f},
    {kQFilters, 1.0f}, {kEqLpFreq, 0.95f}, {kEqHpFreq, 0.0f},
};

Settings reverb(float mix, float size) { return {{kReverbOn, 1.0f}, {kReverbMix, mix}, {kReverbSize, size}}; }
Settings eq(float lowPass, float highPass) {
  return {{kQFilters, 1.0f}, {kEqLpFreq, lowPass}, {kEqHpFreq, highPass}};
}
Settings operator+(Settings a, const Settings& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

constexpr KeyRange kMiddle{48, 84};   // C3..C6
constexpr KeyRange kHigh{60, 96};     // C4..C7
constexpr KeyRange kDrumKeys{24, 96}; // C1..C7: every key plays the drum (the tuned ones go up with it)
constexpr KeyRange kAnyKey{36, 84};   // noises and effects

const std::vector<Draft> kDrafts = {
    // --- Breath & Whistles: band-pass tones, held and sung ---
    {.bank = "Breath & Whistles", .name = "Clear Whistle",
     .sound = "a pure, steady whistle with a quick start",
     .keys = kMiddle, .transpose = 12, .velocity = "louder", .note = 1.5,
     .settings = join(kTone, {{kKt2Rate1, 0.03f}, {kAttack1, 0.04f}, {kRelease1, 0.12f}}) + reverb(0.2f, 0.4f) +
                 Settings{{kLevel, 0.217f}, {kGainOut, 0.515f}}},
    {.bank = "Breath & Whistles", .name = "Soft Ocarina",
     .sound = "round, hollow tone that swells in gently; dry",
     .keys = {48, 79}, .transpose = 12, .velocity = "louder", .note = 1.5,
     .settings = join(kTone, {{kAttack1, 0.1f}, {kRelease1, 0.15f}}) + eq(0.7f, 0.0f) +
                 Settings{{kLevel, 0.246f}, {kGainOut, 0.537f}}},
    {.bank = "Breath & Whistles", .name = "Breathy Flute",
     .sound = "airy flute whose breath flutters",
     .keys = kMiddle, .transpose = 12, .velocity = "louder", .note = 1.5,
     .settings = join(kTone, {{kKt2Rate1, 0.06f}, {kAttack1, 0.12f}, {kRelease1, 0.15f}, {kAm, 0.3f}, {kRate2, 0.38f},
                              {kLpHp2, 0.0f}}) + reverb(0.2f, 0.5f) +
                 Settings{{kLevel, 0.18f}, {kGainOut, 0.545f}}},
    {.bank = "Breath & Whistles", .name = "Pan Flute",
     .sound = "pipe with a chiff: each note drops onto its pitch from a little above",
     .keys = kMiddle, .transpose = 12, .velocity = "louder, with a deeper chiff", .note = 1.5, .pitchFrom = 0.5,
     .settings = join(kSwept, {{kAdsr2LpHp1, 0.56f}, {kDecay1, 0.12f}}) + reverb(0.3f, 0.5f) +
                 Settings{{kGainOut, 0.536f}}},
    {.bank = "Breath & Whistles", .name = "Tin Whistle",
     .sound = "bright, high whistle that flicks up into each note",
     .keys = {60, 91}, .transpose = 12, .velocity = "louder, with a wider flick", .note = 1.0, .pitchFrom = 0.5,
     .settings = join(kSwept, {{kRate1, 0.9f}, {kAdsr2LpHp1, 0.46f}, {kDecay1, 0.1f}, {kKt2Rate1, 0.04f}}) +
                 reverb(0.15f, 0.3f) +
                 Settings{{kLevel, 0.503f}, {kGainOut, 0.492f}}},
    {.bank = "Breath & Whistles", .name = "Blown Bottle",
     .sound = "slow-speaking tone like breath across a bottle",
     .keys = {48, 76}, .transpose = 12, .velocity = "louder", .note = 2.0, .pitchFrom = 0.6, .pitchTo = 2.4,
     .settings = join(kTone, {{kKt2Rate1, 0.06f}, {kAttack1, 0.2f}, {kRelease1, 0.2f}, {kAm, 0.25f}, {kRate2, 0.4f},
                              {kLpHp2, 0.0f}}) + reverb(0.3f, 0.6f) +
                 Settings{{kLevel, 0.161f}, {kGainOut, 0.632f}}},
    {.bank = "Breath & Whistles", .name = "Shakuhachi",
     .sound = "breathy bamboo flute that bends up into each note",
     .keys = {48, 79}, .transpose = 12, .velocity = "louder, with a deeper bend", .note = 1.5, .pitchFrom = 0.7,
     .settings = join(kSwept, {{kKt2Rate1, 0.06f}, {kAdsr2LpHp1, 0.42f}, {kDecay1, 0.2f}, {kAm, 0.25f},
                               {kRate2, 0.38f},
                               {kLpHp2, 0.0f}}) + reverb(0.3f, 0.6f) +
                 Settings{{kLevel, 0.185f}, {kGainOut, 0.529f}}},
    {.bank = "Breath & Whistles", .name = "Slide Whistle",
     .sound = "a whistle that slides up into every note from as much as a sixth below",
     .keys = kMiddle, .transpose = 12, .velocity = "louder, sliding from further below", .note = 2.0,
     .pitchFrom = 1.8, .pitchTo = 3.2,
     .settings = join(kSwept, {{kAdsr2LpHp1, 0.35f}, {kDecay1, 0.35f}, {kKt2Rate1, 0.04f}}) + 
                 Settings{{kGainOut, 0.529f}}},
    {.bank = "Glass & Bells", .name = "Glass Harmonica",
     .sound = "rubbed glass rims: slow, soft swell and a pure ring",
     .phrase = PhraseKind::Held, .keys = kMiddle, .transpose = 12, .velocity = "louder", .note = 2.5,
     .pitchFrom = 1.2, .pitchTo = 3.0,
     .settings = join(kTone, {{kKt2Rate1, 0.03f}, {kAttack1, 0.3f}, {kRelease1, 0.22f}}) + reverb(0.45f, 0.7f) +
                 Settings{{kLevel, 0.386f}, {kGainOut, 0.445f}}},
    {.bank = "Glass & Bells", .name = "Bowed Glass",
     .sound = "glass under a slow bow: a long crescendo that trembles",
     .phrase = PhraseKind::Held, .keys = kMiddle, .transpose = 12, .velocity = "louder", .note = 3.0,
     .pitchFrom = 2.0, .pitchTo = 3.8,
     .settings = join(kTone, {{kKt2Rate1, 0.04f}, {kAttack1, 0.45f}, {kRelease1, 0.2f}, {kAm, 0.3f}, {kRate2, 0.42f},
                              {kLpHp2, 0.0f}}) + reverb(0.35f, 0.6f) +
                 Settings{{kLevel, 0.166f}, {kGainOut, 0.477f}}},
    {.bank = "Glass & Bells", .name = "Crystal Bells",
     .sound = "high struck glass with a long, clear ring",
     .phrase = PhraseKind::Strikes, .keys = kHigh, .transpose = 12, .velocity = "louder", .note = 0.5,
     .pitchFrom = 0.05, .pitchTo = 1.5,
     .settings = join(kStruck, {{kRate1, 0.85f}, {kKt2Rate1, 0.07f}, {kDecay1, 0.7f}, {kRelease1, 0.2f}}) +
         reverb(0.3f, 0.6f) +
                 Settings{{kLevel, 0.143f}, {kGainOut, 0.499f}}},
    {.bank = "Glass & Bells", .name = "Music Box",
     .sound = "tiny, bright tines plucked in a box; short ring",
     .phrase = PhraseKind::Strikes, .keys = {72, 100}, .transpose = 12, .velocity = "louder", .note = 0.4,
     .pitchFrom = 0.03, .pitchTo = 0.8,
     .settings = join(kStruck, {{kRate1, 0.9f}, {kKt2Rate1, 0.06f}, {kDecay1, 0.45f}, {kRelease1, 0.2f}}) +
                 reverb(0.15f, 0.2f) +
                 Settings{{kLevel, 0.246f}, {kGainOut, 0.412f}}},
    {.bank = "Glass & Bells", .name = "Celesta",
     .sound = "soft bell-plates struck by felt hammers",
     .phrase = PhraseKind::Strikes, .keys = kHigh, .transpose = 12, .velocity = "louder", .note = 0.5,
     .pitchFrom = 0.05, .pitchTo = 1.0,
     .settings = join(kStruck, {{kRate1, 0.85f}, {kDecay1, 0.55f}, {kRelease1, 0.2f}, {kAttack1, 0.03f}}) +
                 eq(0.8f, 0.0f) +
                 Settings{{kLevel, 0.328f}, {kGainOut, 0.449f}}},
    {.bank = "Glass & Bells", .name = "Singing Bowl",
     .sound = "a struck bowl that hums on for seconds",
     .phrase = PhraseKind::Strikes, .keys = kMiddle, .transpose = 12, .velocity = "louder", .note = 2.0,
     .pitchFrom = 0.1, .pitchTo = 2.5,
     .settings = join(kStruck, {{kKt2Rate1, 0.04f}, {kDecay1, 0.9f}, {kRelease1, 0.2f}}) + reverb(0.35f, 0.8f) +
                 Settings{{kLevel, 0.222f}, {kGainOut, 0.587f}}},
    {.bank = "Glass & Bells", .name = "Glass Chimes",
     .sound = "light glass chimes shimmering in a wide room",
     .phrase = PhraseKind::Strikes, .keys = kHigh, .transpose = 12, .velocity = "louder", .note = 1.0,
     .pitchFrom = 0.05, .pitchTo = 1.0,
     .settings = join(kStruck, {{kRate1, 0.85f}, {kKt2Rate1, 0.08f}, {kDecay1, 0.6f}, {kRelease1, 0.2f}}) +
                 reverb(0.5f, 0.85f) +
                 Settings{{kLevel, 0.135f}, {kGainOut, 0.517f}}},
    {.bank = "Glass & Bells", .name = "Bell Swell",
     .sound = "a bell heard backwards: the ring swells in and stops",
     .phrase = PhraseKind::Held, .keys = kMiddle, .transpose = 12, .velocity = "louder", .note = 2.0,
     .pitchFrom = 1.2, .pitchTo = 2.6,
     .settings = join(kTone, {{kKt2Rate1, 0.03f}, {kAttack1, 0.38f}, {kRelease1, 0.05f}}) + reverb(0.2f, 0.5f) +
                 Settings{{kLevel, 0.365f}, {kGainOut, 0.425f}}},

    // --- Keys & Plucks: struck and plucked band-pass notes ---
    {.bank = "Keys & Plucks", .name = "Kalimba",
     .sound = "thumb-plucked metal tines, dry and woody",
     .phrase = PhraseKind::Strikes, .keys = {60, 91}, .transpose = 12, .velocity = "louder", .note = 0.4,
     .pitchFrom = 0.03, .pitchTo = 0.8,
     .settings = join(kStruck, {{kRate1, 0.85f}, {kKt2Rate1, 0.07f}, {kDecay1, 0.45f}, {kRelease1, 0.2f}}) +
                 Settings{{kGainOut, 0.487f}}},
    {.bank = "Keys & Plucks", .name = "Wah Pluck",
     .sound = "funky pluck: the band sweeps down onto the note from about a fifth above",
     .phrase = PhraseKind::Standard, .keys = {60, 84}, .transpose = 12, .velocity = "louder, with a wider sweep",
     .note = 0.4, .pitchFrom = 1.0, .pitchTo = 2.5,
     .settings = join(kSwept, {{kAdsr2LpHp1, 0.7f}, {kVelosens, 0.75f}, {kDecay1, 0.25f}, {kKt2Rate1, 0.1f},
                               {kRate1, 0.8f}}) + reverb(0.15f, 0.3f) +
                 Settings{{kLevel, 0.153f}, {kGainOut, 0.406f}}},
    {.bank = "Keys & Plucks", .name = "Vibes",
     .sound = "struck bars with a slow tremolo, ringing long",
     .phrase = PhraseKind::Strikes, .keys = kMiddle, .transpose = 12, .velocity = "louder", .note = 1.5,
     .pitchFrom = 0.05, .pitchTo = 1.5,
     .settings = join(kStruck, {{kKt2Rate1, 0.06f}, {kDecay1, 0.8f}, {kRelease1, 0.2f}, {kAm, 0.15f}, {kRate2, 0.33f},
                                {kLpHp2, 0.0f}}) + reverb(0.25f, 0.5f) +
                 Settings{{kGainOut, 0.522f}}},
    {.bank = "Keys & Plucks", .name = "Toy Piano",
     .sound = "small, plinky keys with a short ring",
     .phrase = PhraseKind::Strikes, .keys = {72, 96}, .transpose = 12, .velocity = "louder", .note = 0.3,
     .pitchFrom = 0.03, .pitchTo = 0.6,
     .settings = join(kStruck, {{kRate1, 0.9f}, {kKt2Rate1, 0.08f}, {kDecay1, 0.3f}, {kRelease1, 0.15f}}) +
                 eq(0.9f, 0.4f) +
                 Settings{{kLevel, 0.146f}, {kGainOut, 0.572f}}},
    {.bank = "Keys & Plucks", .name = "Harp",
     .sound = "plucked strings ringing out in a hall",
     .phrase = PhraseKind::Strikes, .keys = kMiddle, .transpose = 12, .velocity = "louder", .note = 1.0,
     .pitchFrom = 0.05, .pitchTo = 1.8,
     .settings = join(kStruck, {{kKt2Rate1, 0.09f}, {kDecay1, 0.7f}, {kRelease1, 0.2f}}) + reverb(0.35f, 0.7f) +
         Settings{{kLevel, 0.133f}, {kGainOut, 0.609f}}},
    {.bank = "Keys & Plucks", .name = "Marimba",
     .sound = "soft wooden bars, short and round",
     .phrase = PhraseKind::Strikes, .keys = kHigh, .transpose = 12, .velocity = "louder", .note = 0.4,
     .pitchFrom = 0.03, .pitchTo = 0.7,
     .settings = join(kStruck, {{kRate1, 0.85f}, {kKt2Rate1, 0.1f}, {kDecay1, 0.55f}, {kRelease1, 0.15f}}) + eq(0.7f,
         0.0f) +
                 reverb(0.15f, 0.3f) +
                 Settings{{kLevel, 0.135f}, {kGainOut, 0.468f}}},
    {.bank = "Keys & Plucks", .name = "Synth Blip",
     .sound = "short electronic blip that drops onto the note",
     .phrase = PhraseKind::Standard, .keys = {60, 84}, .transpose = 12, .velocity = "louder, with a deeper drop",
     .note = 0.3, .pitchFrom = 0.5, .pitchTo = 2.0,
     .settings = join(kSwept, {{kAdsr2LpHp1, 0.6f}, {kDecay1, 0.08f}, {kKt2Rate1, 0.1f}, {kRate1, 0.8f},
                               {kLevel, 0.173f}}) +
                 Settings{{kGainOut, 0.403f}}},
    {.bank = "Keys & Plucks", .name = "Soft Keys",
     .sound = "mellow keys: a soft strike settling into a steady tone",
     .phrase = PhraseKind::Standard, .keys = kMiddle, .transpose = 12, .velocity = "louder", .note = 1.0,
     .pitchFrom = 0.6, .pitchTo = 2.0,
     .settings = join(kTone, {{kKt2Rate1, 0.06f}, {kAttack1, 0.02f}, {kDecay1, 0.4f}, {kSustain1, 0.6f},
                              {kRelease1, 0.15f}}) +
                 reverb(0.2f, 0.4f) +
                 Settings{{kGainOut, 0.483f}}},
    {.bank = "Pads & Drones", .name = "Oo Pad",
     .sound = "soft, vowel-like 'oo' voices for slow chords",
     .phrase = PhraseKind::Held, .keys = kMiddle, .transpose = 12, .velocity = "louder", .note = 2.5,
     .pitchFrom = 1.0, .pitchTo = 3.0,
     .settings = join(kTone, {{kKt2Rate1, 0.06f}, {kAttack1, 0.3f}, {kRelease1, 0.22f}}) + eq(0.65f, 0.0f) +
                 reverb(0.3f, 0.7f) +
                 Settings{{kGainOut, 0.444f}}},
    {.bank = "Pads & Drones", .name = "Glass Pad",
     .sound = "glassy chords with a slow swell in a large space",
     .phrase = PhraseKind::Held, .keys = kHigh, .transpose = 12, .velocity = "louder", .note = 2.5,
     .pitchFrom = 1.0, .pitchTo = 3.0,
     .settings = join(kTone, {{kRate1, 0.85f}, {kKt2Rate1, 0.03f}, {kAttack1, 0.3f}, {kRelease1, 0.22f}}) +
                 reverb(0.45f, 0.85f) +
                 Settings{{kLevel, 0.352f}, {kGainOut, 0.34f}}},
    {.bank = "Pads & Drones", .name = "Wind Choir",
     .sound = "breathy choir whose voices waver",
     .phrase = PhraseKind::Held, .keys = kMiddle, .transpose = 12, .velocity = "louder", .note = 3.0,
     .pitchFrom = 2.0, .pitchTo = 3.8,
     .settings = join(kTone, {{kKt2Rate1, 0.06f}, {kAttack1, 0.45f}, {kRelease1, 0.22f}, {kAm, 0.45f}, {kRate2, 0.4f},
                              {kLpHp2, 0.0f}}) + reverb(0.35f, 0.85f) +
                 Settings{{kLevel, 0.243f}, {kGainOut, 0.472f}}},
    {.bank = "Pads & Drones", .name = "Rising Pad",
     .sound = "chords that slide up from below into pitch",
     .phrase = PhraseKind::Held, .keys = kMiddle, .transpose = 12, .velocity = "louder, from further below",
     .note = 2.5, .pitchFrom = 2.0, .pitchTo = 3.5,
     .settings = join(kSwept, {{kAdsr2LpHp1, 0.4f}, {kDecay1, 0.35f}, {kKt2Rate1, 0.05f}, {kRelease1, 0.2f}}) +
                 reverb(0.4f, 0.7f) +
                 Settings{{kGainOut, 0.427f}}},
    {.bank = "Pads & Drones", .name = "Air Pad",
     .sound = "soft, unpitched air that swells and fades with the keys",
     .phrase = PhraseKind::Held, .keys = kAnyKey, .note = 2.5,
     .settings = join(kNoise, {{kAttack1, 0.35f}, {kSustain1, 1.0f}, {kRelease1, 0.22f}, {kVelosens, 0.0f},
                               {kLpHp1, 0.0f}, {kRate1, 0.8f}, {kKt2LpHp1, 0.7f}}) + eq(0.65f, 0.2f) + reverb(0.4f,
                                   0.7f) +
                 Settings{{kGainOut, 0.151f}}},
    {.bank = "Pads & Drones", .name = "Dark Drone",
     .sound = "one low, wobbling resonance (about 60 Hz) on every key",
     .phrase = PhraseKind::Drone, .keys = kAnyKey, .tail = 8.0, .note = 3.0,
     .settings = {{kRateScaleUp, 1.0f}, {kRate1, 0.15f}, {kKt2Rate1, 0.5f}, {kResoAmnt, 0.95f}, {kCombFilter, 0.3f},
                  {kLpHp3, 0.0f}, {kDryWet, 1.0f}, {kOsc1, 0.0f}, {kAm, 1.0f}, {kRate2, 0.7f}, {kLpHp2, 0.0f},
                  {kFm, 0.05f}, {kVelosens, 0.0f}, {kAttack1, 0.3f}, {kSustain1, 1.0f}, {kRelease1, 0.22f},
                  {kLevel, 0.3f}, {kReverbOn, 1.0f}, {kReverbMix, 0.4f}, {kReverbSize, 0.8f}, {kGainOut, 0.166f}}},
    {.bank = "Pads & Drones", .name = "Ocean Drone",
     .sound = "low noise surging like distant waves",
     .phrase = PhraseKind::Drone, .keys = kAnyKey, .tail = 8.0, .note = 3.0, .wanders = true,
     .settings = join(kNoise, {{kAttack1, 0.3f}, {kSustain1, 1.0f}, {kRelease1, 0.22f}, {kVelosens, 0.0f},
                               {kRate1, 0.7f}, {kLpHp1, 0.0f}, {kAm, 0.35f}, {kRate2, 0.2f}, {kLpHp2, 0.0f},
                               {kSmooth, 1.0f}}) + eq(0.55f, 0.1f) + reverb(0.4f, 0.8f) +
                 Settings{{kGainOut, 0.365f}}},
    {.bank = "Pads & Drones", .name = "Shimmer Pad",
     .sound = "high, bright chords with a slowly breathing level",
     .phrase = PhraseKind::Held, .keys = kHigh, .transpose = 12, .velocity = "louder", .note = 2.5,
     .pitchFrom = 1.0, .pitchTo = 3.0,
     .settings = join(kTone, {{kRate1, 0.85f}, {kKt2Rate1, 0.05f}, {kAttack1, 0.25f}, {kRelease1, 0.2f}, {kAm, 0.4f},
                              {kRate2, 0.3f}, {kLpHp2, 0.0f}}) + reverb(0.5f, 0.9f) +
                 Settings{{kLevel, 0.328f}, {kGainOut, 0.347f}}},

    // --- Drums ---
    {.bank = "Drums", .name = "Noise Kick",
     .sound = "short kick: a thump whose pitch drops, with a soft click",
     .phrase = PhraseKind::Groove, .keys = kDrumKeys, .velocity = "louder", .level = LevelKind::Peak, .note = 0.1,
     .settings = {{kRateScaleUp, 1.0f}, {kRate1, 0.0f}, {kKt2Rate1, 0.52f}, {kAdsr2Rate1, 0.52f}, {kResoAmnt, 0.9f},
                  {kDryWet, 0.95f}, {kLpHp3, 0.0f}, {kCombFilter, 0.35f}, {kOsc1, 0.0f}, {kAm, 1.0f}, {kRate2, 0.8f},
                  {kLpHp2, 0.0f}, {kFm, 0.0f}, {kAttack1, 0.0f}, {kDecay1, 0.3f}, {kSustain1, 0.0f},
                  {kRelease1, 0.1f},
                  {kLevel, 0.4f}, {kVelosens, 0.8f}, {kQFilters, 1.0f}, {kEqLpFreq, 0.5f}, {kEqHpFreq, 0.0f},
                  {kGainOut, 0.149f}}},
    {.bank = "Drums", .name = "Deep Kick",
     .sound = "long, booming kick with a slow pitch fall",
     .phrase = PhraseKind::Groove, .keys = kDrumKeys, .velocity = "louder", .level = LevelKind::Peak, .note = 0.1,
     .settings = {{kRateScaleUp, 1.0f}, {kRate1, 0.0f}, {kKt2Rate1, 0.51f}, {kAdsr2Rate1, 0.515f}, {kResoAmnt, 0.9f},
                  {kDryWet, 1.0f}, {kLpHp3, 0.0f}, {kCombFilter, 0.2f}, {kOsc1, 0.0f}, {kAm, 1.0f}, {kRate2, 0.8f},
                  {kLpHp2, 0.0f}, {kFm, 0.0f}, {kAttack1, 0.0f}, {kDecay1, 0.45f}, {kSustain1, 0.0f},
                  {kRelease1, 0.15f},
                  {kLevel, 0.4f}, {kVelosens, 0.8f}, {kQFilters, 1.0f}, {kEqLpFreq, 0.4f}, {kEqHpFreq, 0.0f},
                  {kGainOut, 0.156f}}},
    {.bank = "Drums", .name = "Body Snare",
     .sound = "snare with a ringing drum body under the rattle",
     .phrase = PhraseKind::Groove, .keys = kDrumKeys, .velocity = "louder and brighter", .level = LevelKind::Peak,
     .note = 0.1,
     .settings = {{kRateScaleUp, 1.0f}, {kRate1, 0.3f}, {kKt2Rate1, 0.52f}, {kResoAmnt, 0.85f}, {kDryWet, 0.55f},
                  {kLpHp3, 0.0f}, {kCombFilter, 0.6f}, {kOsc1, 0.0f}, {kAm, 1.0f}, {kRate2, 1.0f}, {kLpHp2, 0.5f},
                  {kAdsr2Rate1, 0.51f}, {kAttack1, 0.0f}, {kDecay1, 0.25f}, {kSustain1, 0.0f}, {kRelease1, 0.1f},
                  {kLevel, 0.3f}, {kVelosens, 0.8f}, {kQFilters, 1.0f}, {kEqLpFreq, 0.9f}, {kEqHpFreq, 0.25f},
                  {kGainOut, 0.21f}}},
    {.bank = "Drums", .name = "Tight Snare",
     .sound = "short, dry, cracking snare",
     .phrase = PhraseKind::Groove, .keys = kDrumKeys, .velocity = "louder", .level = LevelKind::Peak, .note = 0.1,
     .settings = join(kNoise, {{kDecay1, 0.15f}, {kLpHp1, 0.6f}, {kAdsr2LpHp1, 0.7f}}) + eq(0.85f, 0.4f) +
                 Settings{{kGainOut, 0.24f}}},
    {.bank = "Drums", .name = "Hand Clap",
     .sound = "a clap: a rough flutter of hands and a short room",
     .phrase = PhraseKind::Groove, .keys = kDrumKeys, .velocity = "louder", .level = LevelKind::Peak, .note = 0.1,
     .settings = join(kNoise, {{kDecay1, 0.25f}, {kAm, 0.2f}, {kAdsr2Am, 0.75f}, {kRate2, 0.5f}, {kLpHp2, 1.0f},
                               {kLpHp1, 0.5f}}) + eq(0.85f, 0.5f) + reverb(0.2f, 0.3f) +
                 Settings{{kGainOut, 0.323f}}},
    {.bank = "Drums", .name = "Rim Click",
     .sound = "stick on the rim: a short, hard click",
     .phrase = PhraseKind::Groove, .keys = kDrumKeys, .velocity = "louder", .level = LevelKind::Peak, .note = 0.1,
     .settings = join(kNoise, {{kDecay1, 0.1f}, {kRelease1, 0.05f}, {kLpHp1, 0.8f}}) + eq(0.85f, 0.55f) +
                 Settings{{kGainOut, 0.245f}}},
    {.bank = "Drums", .name = "Low Tom",
     .sound = "deep tom whose pitch sags as it rings; keys tune it",
     .phrase = PhraseKind::Groove, .keys = kDrumKeys, .velocity = "louder", .level = LevelKind::Peak, .note = 0.1,
     .settings = {{kRateScaleUp, 1.0f}, {kRate1, 0.0f}, {kKt2Rate1, 0.7f}, {kAdsr2Rate1, 0.51f}, {kResoAmnt, 0.92f},
                  {kDryWet, 0.9f}, {kLpHp3, 0.0f}, {kCombFilter, 0.45f}, {kOsc1, 0.0f}, {kAm, 1.0f}, {kRate2, 0.8f},
                  {kLpHp2, 0.2f}, {kAttack1, 0.0f}, {kDecay1, 0.33f}, {kSustain1, 0.0f}, {kRelease1, 0.1f},
                  {kLevel, 0.3f}, {kVelosens, 0.8f}, {kQFilters, 1.0f}, {kEqLpFreq, 0.6f}, {kEqHpFreq, 0.0f},
                  {kGainOut, 0.203f}}},
    {.bank = "Drums", .name = "High Tom",
     .sound = "tight, bright tom; keys tune it",
     .phrase = PhraseKind::Groove, .keys = kDrumKeys, .velocity = "louder", .level = LevelKind::Peak, .note = 0.1,
     .settings = {{kRateScaleUp, 1.0f}, {kRate1, 0.1f}, {kKt2Rate1, 0.8f}, {kAdsr2Rate1, 0.51f}, {kResoAmnt, 0.9f},
                  {kDryWet, 0.85f}, {kLpHp3, 0.0f}, {kCombFilter, 0.55f}, {kOsc1, 0.0f}, {kAm, 1.0f}, {kRate2, 0.85f},
                  {kLpHp2, 0.3f}, {kAttack1, 0.0f}, {kDecay1, 0.25f}, {kSustain1, 0.0f}, {kRelease1, 0.1f},
                  {kLevel, 0.3f}, {kVelosens, 0.8f}, {kQFilters, 1.0f}, {kEqLpFreq, 0.75f}, {kEqHpFreq, 0.1f},
                  {kGainOut, 0.224f}}},

    // --- Percussion ---
    {.bank = "Percussion", .name = "Closed Hat",
     .sound = "tight, sizzling closed hi-hat",
     .phrase = PhraseKind::Groove, .keys = kDrumKeys, .velocity = "louder and brighter", .level = LevelKind::Peak,
     .note = 0.1,
     .settings = join(kNoise, {{kDecay1, 0.1f}, {kLpHp1, 1.0f}, {kAdsr2LpHp1, 0.7f}}) + eq(0.95f, 0.75f) +
                 Settings{{kGainOut, 0.195f}}},
    {.bank = "Percussion", .name = "Open Hat",
     .sound = "open hi-hat: a long, splashy hiss",
     .phrase = PhraseKind::Groove, .keys = kDrumKeys, .velocity = "louder and brighter", .level = LevelKind::Peak,
     .note = 0.1,
     .settings = join(kNoise, {{kDecay1, 0.35f}, {kSustain1, 0.0f}, {kRelease1, 0.25f}, {kLpHp1, 1.0f},
                               {kAdsr2LpHp1, 0.6f}}) + eq(0.95f, 0.72f) +
                 Settings{{kGainOut, 0.189f}}},
    {.bank = "Percussion", .name = "Pedal Hat",
     .sound = "soft 'chick' of a hi-hat closed with the foot",
     .phrase = PhraseKind::Groove, .keys = kDrumKeys, .velocity = "louder", .level = LevelKind::Peak, .note = 0.1,
     .settings = join(kNoise, {{kAttack1, 0.05f}, {kDecay1, 0.08f}, {kLpHp1, 0.8f}}) + eq(0.85f, 0.65f) +
                 Settings{{kGainOut, 0.242f}}},
    {.bank = "Percussion", .name = "Brush Tap",
     .sound = "a wire brush tapped on a snare",
     .phrase = PhraseKind::Groove, .keys = kDrumKeys, .velocity = "louder", .level = LevelKind::Peak, .note = 0.1,
     .settings = join(kNoise, {{kAttack1, 0.02f}, {kDecay1, 0.2f}, {kLpHp1, 0.5f}, {kAm, 0.5f}, {kRate2, 0.7f},
                               {kLpHp2, 1.0f}}) + eq(0.8f, 0.4f) +
                 Settings{{kGainOut, 0.302f}}},
    {.bank = "Percussion", .name = "Brush Sweep",
     .sound = "a brush swept slowly across the drum head while the key is held",
     .phrase = PhraseKind::Standard, .keys = kDrumKeys, .velocity = "louder", .note = 1.0,
     .settings = join(kNoise, {{kAttack1, 0.2f}, {kDecay1, 0.3f}, {kSustain1, 0.5f}, {kRelease1, 0.15f},
                               {kLpHp1, 0.4f}, {kAm, 0.3f}, {kRate2, 0.65f}, {kLpHp2, 1.0f}}) + eq(0.75f, 0.45f) +
                 Settings{{kGainOut, 0.293f}}},
    {.bank = "Percussion", .name = "Shaker",
     .sound = "grainy seed shaker",
     .phrase = PhraseKind::Groove, .keys = kDrumKeys, .velocity = "louder", .level = LevelKind::Peak, .note = 0.1,
     .settings = join(kNoise, {{kAttack1, 0.04f}, {kDecay1, 0.15f}, {kLpHp1, 0.9f}, {kAm, 0.6f}, {kRate2, 0.75f},
                               {kLpHp2, 1.0f}}) + eq(0.95f, 0.7f) +
                 Settings{{kGainOut, 0.256f}}},
    {.bank = "Percussion", .name = "Wood Block",
     .sound = "short, hollow knock on wood",
     .phrase = PhraseKind::Groove, .keys = kDrumKeys, .velocity = "louder", .level = LevelKind::Peak, .note = 0.1,
     .settings = {{kRateScaleUp, 1.0f}, {kRate1, 0.5f}, {kKt2Rate1, 0.6f}, {kResoAmnt, 0.85f}, {kDryWet, 0.9f},
                  {kLpHp3, 0.3f}, {kCombFilter, 0.7f}, {kOsc1, 0.0f}, {kAm, 1.0f}, {kRate2, 0.9f}, {kLpHp2, 0.3f},
                  {kAttack1, 0.0f}, {kDecay1, 0.1f}, {kSustain1, 0.0f}, {kRelease1, 0.05f}, {kLevel, 0.3f},
                  {kVelosens, 0.8f}, {kQFilters, 1.0f}, {kEqLpFreq, 0.8f}, {kEqHpFreq, 0.3f}, {kGainOut, 0.218f}}},
    {.bank = "Percussion", .name = "Metal Clank",
     .sound = "clangy struck metal with inharmonic overtones",
     .phrase = PhraseKind::Groove, .keys = kDrumKeys, .velocity = "louder", .level = LevelKind::Peak, .note = 0.1,
     .settings = {{kRateScaleUp, 1.0f}, {kRate1, 0.55f}, {kKt2Rate1, 0.6f}, {kResoAmnt, 0.95f}, {kDryWet, 0.9f},
                  {kLpHp3, 0.2f}, {kCombFilter, 0.9f}, {kFm, 0.4f}, {kRate2, 0.95f}, {kLpHp2, 0.0f}, {kAm, 0.0f},
                  {kLpHp1, 0.8f}, {kAttack1, 0.0f}, {kDecay1, 0.4f}, {kSustain1, 0.0f}, {kRelease1, 0.15f},
                  {kLevel, 0.3f}, {kVelosens, 0.8f}, {kReverbOn, 1.0f}, {kReverbMix, 0.25f}, {kReverbSize, 0.4f},
                  {kGainOut, 0.201f}}},

    // --- Nature ---
    {.bank = "Nature", .name = "Surf",
     .sound = "waves rolling in and drawing back on a beach",
     .phrase = PhraseKind::Drone, .keys = kAnyKey, .tail = 8.0, .note = 3.0, .wanders = true,
     .settings = join(kNoise, {{kAttack1, 0.3f}, {kSustain1, 1.0f}, {kRelease1, 0.22f}, {kVelosens, 0.0f},
                               {kRate1, 0.85f}, {kLpHp1, 0.3f}, {kAm, 0.9f}, {kRate2, 0.1f}, {kLpHp2, 0.0f},
                               {kSmooth, 1.0f}}) + eq(0.7f, 0.25f) + reverb(0.3f, 0.7f) +
                 Settings{{kGainOut, 0.3f}}},
    {.bank = "Nature", .name = "Thunder",
     .sound = "a crack of thunder rolling away into a low rumble",
     .phrase = PhraseKind::Drone, .keys = kAnyKey, .velocity = "louder", .level = LevelKind::Peak, .tail = 8.0,
     .note = 3.0,
     .settings = {{kRateScaleUp, 1.0f}, {kRate1, 0.45f}, {kKt2Rate1, 0.5f}, {kDryWet, 0.0f}, {kLpHp1, 0.2f},
                  {kAdsr2LpHp1, 1.0f}, {kSmooth, 0.8f}, {kAm, 0.0f}, {kLpHp2, 0.0f}, {kAttack1, 0.03f},
                  {kDecay1, 0.8f}, {kSustain1, 0.0f}, {kRelease1, 0.22f}, {kLevel, 0.5f}, {kVelosens, 0.7f},
                  {kQFilters, 1.0f}, {kEqLpFreq, 0.55f}, {kEqHpFreq, 0.0f}, {kReverbOn, 1.0f}, {kReverbMix, 0.45f},
                  {kReverbSize, 0.9f}, {kGainOut, 0.348f}}},
    {.bank = "Nature", .name = "Rain",
     .sound = "steady rain pattering on leaves",
     .phrase = PhraseKind::Drone, .keys = kAnyKey, .note = 3.0,
     .settings = join(kNoise, {{kAttack1, 0.2f}, {kSustain1, 1.0f}, {kRelease1, 0.2f}, {kVelosens, 0.0f},
                               {kRate1, 0.75f}, {kLpHp1, 1.0f}, {kAm, 0.6f}, {kRate2, 0.5f}, {kLpHp2, 1.0f}}) +
                 eq(0.9f, 0.5f) + reverb(0.25f, 0.5f) +
                 Settings{{kGainOut, 0.26f}}},
    {.bank = "Nature", .name = "Wind Gusts",
     .sound = "rushing wind that swells and fades on its own",
     .phrase = PhraseKind::Drone, .keys = kAnyKey, .tail = 8.0, .note = 3.0, .wanders = true,
     .settings = {{kRateScaleUp, 1.0f}, {kRate1, 0.8f}, {kKt2Rate1, 0.5f}, {kDryWet, 0.3f}, {kResoAmnt, 0.5f},
                  {kCombFilter, 0.6f}, {kLpHp1, 0.3f}, {kAm, 0.8f}, {kRate2, 0.12f}, {kSmooth, 1.0f}, {kLpHp2, 0.0f},
                  {kAttack1, 0.35f}, {kSustain1, 1.0f}, {kRelease1, 0.22f}, {kVelosens, 0.0f}, {kLevel, 0.5f},
                  {kReverbOn, 1.0f}, {kReverbMix, 0.35f}, {kReverbSize, 0.7f}, {kGainOut, 0.464f}}},
    {.bank = "Nature", .name = "Steam Hiss",
     .sound = "steam escaping from a valve: a hard, bright hiss",
     .phrase = PhraseKind::Drone, .keys = kAnyKey, .note = 3.0,
     .settings = join(kNoise, {{kAttack1, 0.1f}, {kSustain1, 0.8f}, {kDecay1, 0.3f}, {kRelease1, 0.2f},
                               {kVelosens, 0.0f}, {kLpHp1, 1.0f}, {kAm, 0.1f}, {kRate2, 0.55f}}) + eq(0.95f, 0.8f) +
                 Settings{{kGainOut, 0.195f}}},
    {.bank = "Nature", .name = "Fire Crackle",
     .sound = "a log fire: low roar with sharp crackles",
     .phrase = PhraseKind::Drone, .keys = kAnyKey, .note = 3.0,
     .settings = join(kNoise, {{kAttack1, 0.2f}, {kSustain1, 1.0f}, {kRelease1, 0.2f}, {kVelosens, 0.0f},
                               {kRate1, 0.5f}, {kLpHp1, 0.6f}, {kAm, 0.5f}, {kRate2, 0.5f}, {kLpHp2, 1.0f}}) +
                 eq(0.8f, 0.2f) + reverb(0.15f, 0.3f) +
                 Settings{{kGainOut, 0.248f}}},
    {.bank = "Nature", .name = "Brook",
     .sound = "a shallow stream burbling over stones",
     .phrase = PhraseKind::Drone, .keys = kAnyKey, .note = 3.0,
     .settings = {{kRateScaleUp, 1.0f}, {kRate1, 0.6f}, {kKt2Rate1, 0.5f}, {kResoAmnt, 0.7f}, {kDryWet, 0.6f},
                  {kCombFilter, 0.8f}, {kFm, 0.6f}, {kRate2, 0.45f}, {kLpHp2, 0.0f}, {kAm, 0.5f}, {kLpHp1, 0.7f},
                  {kAttack1, 0.2f}, {kSustain1, 1.0f}, {kRelease1, 0.2f}, {kVelosens, 0.0f}, {kLevel, 0.4f},
                  {kQFilters, 1.0f}, {kEqLpFreq, 0.8f}, {kEqHpFreq, 0.4f}, {kReverbOn, 1.0f}, {kReverbMix, 0.2f},
                  {kReverbSize, 0.4f}, {kGainOut, 0.341f}}},
    {.bank = "Nature", .name = "Night Insects",
     .sound = "a high, pulsing chirr of crickets",
     .phrase = PhraseKind::Drone, .keys = kAnyKey, .note = 3.0,
     .settings = {{kRateScaleUp, 1.0f}, {kRate1, 0.75f}, {kKt2Rate1, 0.5f}, {kResoAmnt, 0.9f}, {kDryWet, 0.9f},
                  {kCombFilter, 1.0f}, {kLpHp1, 1.0f}, {kAm, 1.0f}, {kRate2, 0.4f}, {kLpHp2, 1.0f}, {kKt2Rate2, 0.6f},
                  {kAttack1, 0.1f}, {kSustain1, 1.0f}, {kRelease1, 0.15f}, {kVelosens, 0.0f}, {kLevel, 0.4f},
                  {kQFilters, 1.0f}, {kEqLpFreq, 1.0f}, {kEqHpFreq, 0.75f}, {kReverbOn, 1.0f}, {kReverbMix, 0.3f},
                  {kReverbSize, 0.6f}, {kGainOut, 0.364f}}},

    // --- Machines & FX ---
    {.bank = "Machines & FX", .name = "Riser",
     .sound = "a whoosh that climbs and brightens over three seconds",
     .phrase = PhraseKind::Drone, .keys = kAnyKey, .note = 3.0,
     .settings = {{kRateScaleUp, 1.0f}, {kRate1, 0.3f}, {kKt2Rate1, 0.6f}, {kAdsr2Rate1, 0.9f}, {kAdsr2LpHp1, 0.9f},
                  {kLpHp1, 0.0f}, {kResoAmnt, 0.8f}, {kDryWet, 0.7f}, {kCombFilter, 1.0f}, {kAm, 0.0f},
                  {kAttack1, 0.55f}, {kSustain1, 1.0f}, {kRelease1, 0.15f}, {kVelosens, 0.0f}, {kLevel, 0.4f},
                  {kReverbOn, 1.0f}, {kReverbMix, 0.35f}, {kReverbSize, 0.7f}, {kGainOut, 0.24f}}},
    {.bank = "Machines & FX", .name = "Downlifter",
     .sound = "a bright whoosh that falls and darkens over three seconds",
     .phrase = PhraseKind::Drone, .keys = kAnyKey, .level = LevelKind::Peak, .note = 3.0,
     .settings = {{kRateScaleUp, 1.0f}, {kRate1, 0.3f}, {kKt2Rate1, 0.6f}, {kAdsr2Rate1, 0.9f}, {kAdsr2LpHp1, 0.9f},
                  {kLpHp1, 0.0f}, {kResoAmnt, 0.8f}, {kDryWet, 0.7f}, {kCombFilter, 1.0f}, {kAm, 0.0f},
                  {kAttack1, 0.0f}, {kDecay1, 0.8f}, {kSustain1, 0.0f}, {kRelease1, 0.2f}, {kVelosens, 0.0f},
                  {kLevel, 0.4f}, {kReverbOn, 1.0f}, {kReverbMix, 0.35f}, {kReverbSize, 0.7f}, {kGainOut, 0.207f}}},
    {.bank = "Machines & FX", .name = "Random Blips",
     .sound = "computer chatter: a new random pitch several times a second",
     .phrase = PhraseKind::Drone, .keys = kAnyKey, .note = 3.0,
     .settings = {{kRateScaleUp, 1.0f}, {kRate1, 0.5f}, {kKt2Rate1, 0.7f}, {kResoAmnt, 0.95f}, {kDryWet, 1.0f},
                  {kCombFilter, 1.0f}, {kFm, 0.7f}, {kRate2, 0.2f}, {kLpHp2, 0.5f}, {kSmooth, 0.0f}, {kAm, 0.0f},
                  {kLpHp1, 0.5f}, {kAttack1, 0.0f}, {kSustain1, 1.0f}, {kRelease1, 0.1f}, {kVelosens, 0.0f},
                  {kLevel, 0.3f}, {kGainOut, 0.254f}}},
    {.bank = "Machines & FX", .name = "Machine Hum",
     .sound = "electrical hum of a big machine (about 60 Hz), buzzing and wavering",
     .phrase = PhraseKind::Drone, .keys = kAnyKey, .note = 3.0,
     .settings = {{kRateScaleUp, 1.0f}, {kRate1, 0.149f}, {kKt2Rate1, 0.5f}, {kResoAmnt, 0.97f}, {kDryWet, 1.0f},
                  {kCombFilter, 0.7f}, {kLpHp3, 0.0f}, {kOsc1, 0.0f}, {kAm, 1.0f}, {kRate2, 0.9f}, {kLpHp2, 0.0f},
                  {kFm, 0.0f}, {kAttack1, 0.05f}, {kSustain1, 1.0f}, {kRelease1, 0.1f}, {kVelosens, 0.0f},
                  {kLevel, 0.3f}, {kQFilters, 1.0f}, {kEqLpFreq, 0.6f}, {kEqHpFreq, 0.1f}, {kGainOut, 0.121f}}},
    {.bank = "Machines & FX", .name = "Radio Static",
     .sound = "warbling, band-limited static as from a mistuned radio",
     .phrase = PhraseKind::Drone, .keys = kAnyKey, .note = 3.0,
     .settings = {{kRateScaleUp, 0.0f}, {kRate1, 0.75f}, {kKt2Rate1, 0.5f}, {kFm, 0.6f}, {kRate2, 0.55f}, {kAm, 0.7f},
                  {kLpHp2, 0.8f}, {kDryWet, 0.6f}, {kResoAmnt, 0.7f}, {kSustain1, 1.0f}, {kAttack1, 0.02f},
                  {kRelease1, 0.1f}, {kVelosens, 0.0f}, {kQFilters, 1.0f}, {kEqLpFreq, 0.65f}, {kEqHpFreq, 0.45f},
                  {kGainOut, 0.501f}}},
    {.bank = "Machines & FX", .name = "Geiger Counter",
     .sound = "irregular dry ticks, denser on higher keys",
     .phrase = PhraseKind::Drone, .keys = kAnyKey, .level = LevelKind::Peak, .note = 3.0,
     .settings = {{kRateScaleUp, 1.0f}, {kRate1, 0.35f}, {kKt2Rate1, 0.5f}, {kSmooth, 0.0f}, {kLpHp1, 1.0f},
                  {kDryWet, 0.0f}, {kAm, 1.0f}, {kRate2, 0.4f}, {kLpHp2, 1.0f}, {kKt2Rate2, 0.9f}, {kAttack1, 0.0f},
                  {kSustain1, 1.0f}, {kRelease1, 0.1f}, {kVelosens, 0.0f}, {kLevel, 0.5f}, {kQFilters, 1.0f},
                  {kEqLpFreq, 1.0f}, {kEqHpFreq, 0.6f}, {kGainOut, 0.174f}}},
    {.bank = "Machines & FX", .name = "Laser Zap",
     .sound = "sci-fi zap: a resonant sweep diving from high to low",
     .phrase = PhraseKind::Groove, .keys = kAnyKey, .velocity = "louder", .level = LevelKind::Peak, .note = 0.2,
     .settings = {{kRateScaleUp, 1.0f}, {kRate1, 0.3f}, {kKt2Rate1, 0.7f}, {kAdsr2Rate1, 1.0f}, {kResoAmnt, 0.95f},
                  {kDryWet, 1.0f}, {kCombFilter, 1.0f}, {kLpHp3, 0.0f}, {kOsc1, 0.0f}, {kAm, 1.0f}, {kRate2, 1.0f},
                  {kLpHp2, 0.0f}, {kAttack1, 0.0f}, {kDecay1, 0.3f}, {kSustain1, 0.0f}, {kRelease1, 0.15f},
                  {kVelosens, 0.8f}, {kLevel, 0.3f}, {kReverbOn, 1.0f}, {kReverbMix, 0.3f}, {kReverbSize, 0.5f},
                  {kGainOut, 0.131f}}},
    {.bank = "Machines & FX", .name = "Sonar Ping",
     .sound = "a pure ping fading into a large, cold space",
     .phrase = PhraseKind::Strikes, .keys = kMiddle, .transpose = 12, .velocity = "louder", .tail = 8.0, .note = 1.5,
     .pitchFrom = 0.05, .pitchTo = 1.5,
     .settings = join(kStruck, {{kKt2Rate1, 0.06f}, {kDecay1, 0.75f}, {kRelease1, 0.2f}}) + reverb(0.35f, 0.95f) +
                 Settings{{kGainOut, 0.58f}}},
};

}  // namespace

Phrase phraseFor(const Draft& draft) {
  // A sound that wanders needs a long listen to be heard on average.
  if (draft.wanders && draft.phrase == PhraseKind::Drone) return Phrase::drone(draft.keys, 15.0);
  return phraseFor(draft.phrase, draft.keys);
}

Phrase phraseFor(PhraseKind kind, const KeyRange& keys) {
  switch (kind) {
    case PhraseKind::Melody: return Phrase::melody(keys);
    case PhraseKind::Held: return Phrase::held(keys);
    case PhraseKind::Strikes: return Phrase::strikes(keys);
    case PhraseKind::Bass: return Phrase::bass(keys);
    case PhraseKind::Groove: return Phrase::groove(keys);
    case PhraseKind::Drone: return Phrase::drone(keys);
    case PhraseKind::Standard: break;
  }
  return Phrase::standard(keys);
}

namespace {

constexpr std::pair<PhraseKind, const char*> kPhraseNames[] = {
    {PhraseKind::Melody, "melody"}, {PhraseKind::Held, "held"},     {PhraseKind::Strikes, "strikes"},
    {PhraseKind::Bass, "bass"},     {PhraseKind::Groove, "groove"}, {PhraseKind::Drone, "drone"},
    {PhraseKind::Standard, "standard"},
};

}  // namespace

const char* phraseName(PhraseKind kind) {
  for (const auto& [k, name] : kPhraseNames)
    if (k == kind) return name;
  return "standard";
}

bool phraseKindNamed(std::string_view name, PhraseKind& kind) {
  for (const auto& [k, n] : kPhraseNames)
    if (name == n) {
      kind = k;
      return true;
    }
  return false;
}

ParameterValues Draft::values() const {
  ParameterValues v = defaultValues();
  for (const auto& [id, value] : settings) v[id] = value;
  return v;
}

const std::vector<Draft>& factoryDrafts() { return kDrafts; }

const Draft* findDraft(std::string_view name) {
  for (const Draft& d : kDrafts)
    if (d.name == name) return &d;
  return nullptr;
}

std::string presetFileName(std::string_view name) {
  std::string file;
  for (char c : name)
    if (std::isalnum(static_cast<unsigned char>(c)) || c == ' ' || c == '-') file += c;
  return file;
}

}  // namespace audition
