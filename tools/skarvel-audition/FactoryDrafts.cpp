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

// The comb resonator tuned to the played note: resonance at the osc1 rate, which follows the
// note's frequency one to one. Rate1 at its bottom still adds 25 Hz; the envelope takes it away
// again while the key is held (-25 Hz at full level), and a low velocity sensitivity keeps the
// envelope near full level so the tuning holds at every velocity. The comb's feedback filter is
// left wide open (CombFilter 1): its phase lag lengthens the loop and pulls high notes flat by up
// to two semitones when it is set low, so these presets darken with the excitation or the EQ. A little FM (vibrato from a slow
// osc2) shortens the period on average and brings the harmonics out of the noise; at FM 0.03 the
// pitch rises by 5 to 7 % depending on osc2's speed and smoothing, so those presets track the key
// at 0.93 to 0.95 instead of 1 (measured per preset with skarvel-audition --note).
const Settings kTunedComb = {
    {kRateScaleUp, 1.0f}, {kRate1, 0.0f},  {kKt2Rate1, 1.0f},  {kAdsr2Rate1, 0.495f}, {kFm, 0.0f},
    {kLpHp3, 0.0f},       {kSustain1, 1.0f}, {kVelosens, 0.25f}, {kQFilters, 1.0f},    {kEqHpFreq, 0.2f},
    {kEqLpFreq, 0.92f},
};

// Struck and plucked: the level envelope falls to nothing, so the rate is left alone (a key
// tracking of 0.95 keeps the 25 Hz offset near the middle of the keyboard) and velocity matters.
const Settings kPluckedComb = {
    {kRateScaleUp, 1.0f}, {kRate1, 0.0f},  {kKt2Rate1, 0.975f}, {kAdsr2Rate1, 0.5f}, {kFm, 0.0f},
    {kLpHp3, 0.0f},       {kAttack1, 0.0f}, {kSustain1, 0.0f},  {kVelosens, 0.8f},   {kQFilters, 1.0f},
    {kEqHpFreq, 0.2f},    {kEqLpFreq, 0.95f},
};

// Band-pass melody: the voice is filtered one octave above the note, its width a fraction of
// the note frequency; the envelope does not move the centre, so it stays in tune.
const Settings kBandPass = {
    {kBpMelody, 1.0f}, {kAdsr2LpHp1, 0.5f}, {kSustain1, 1.0f}, {kVelosens, 0.5f},
};

const std::vector<Draft> kDrafts = {
    // --- Breath & Winds ---
    {"Breath & Winds", "Breathy Flute", "soft flute: breath noise over a tuned resonance, with a slow flutter",
     PhraseKind::Melody,
     join(kTunedComb, {{kFm, 0.03f}, {kKt2Rate1, 0.975f}, {kEqLpFreq, 0.8f}, {kLpHp1, 0.1f}, {kDryWet, 0.75f}, {kResoAmnt, 0.85f}, {kCombFilter, 1.0f}, {kEqHpFreq, 0.28f},
                       {kAttack1, 0.12f}, {kRelease1, 0.15f}, {kAm, 0.3f}, {kRate2, 0.4f}, {kLpHp2, 0.0f},
                       {kSmooth, 0.3f}, {kReverbOn, 1.0f}, {kReverbMix, 0.3f}, {kGainOut, 0.61f}})},
    {"Breath & Winds", "Pan Pipes", "hollow, chiffy pipe: half breath, half pitch, darker resonance",
     PhraseKind::Melody,
     join(kTunedComb, {{kFm, 0.03f}, {kKt2Rate1, 0.965f}, {kRate2, 0.35f}, {kLpHp2, 0.0f}, {kEqLpFreq, 0.75f}, {kLpHp1, 0.5f}, {kDryWet, 0.45f}, {kResoAmnt, 0.8f}, {kCombFilter, 1.0f}, {kEqHpFreq, 0.33f},
                       {kAttack1, 0.07f}, {kRelease1, 0.12f}, {kAm, 0.0f}, {kReverbOn, 1.0f},
                       {kReverbMix, 0.4f}, {kGainOut, 0.4f}})},
    {"Breath & Winds", "Hollow Ocarina", "round, nearly pure tone from a narrow band-pass; sounds an octave above the key",
     PhraseKind::Melody,
     join(kBandPass, {{kKt2Rate1, 0.04f}, {kLevel, 0.6f}, {kAttack1, 0.1f}, {kRelease1, 0.15f},
                      {kReverbOn, 1.0f}, {kReverbMix, 0.3f}, {kGainOut, 0.59f}})},
    {"Breath & Winds", "Shakuhachi Breath", "airy bamboo flute, breath-heavy, with a slow wandering vibrato",
     PhraseKind::Melody,
     join(kTunedComb, {{kLpHp1, 0.55f}, {kDryWet, 0.5f}, {kResoAmnt, 0.9f}, {kCombFilter, 1.0f}, {kFm, 0.03f},
                       {kKt2Rate1, 0.965f}, {kEqHpFreq, 0.28f},
                       {kRate2, 0.35f}, {kSmooth, 1.0f}, {kLpHp2, 0.0f}, {kAm, 0.0f}, {kLevel, 1.0f}, {kAttack1, 0.16f},
                       {kRelease1, 0.2f}, {kReverbOn, 1.0f}, {kReverbMix, 0.45f}, {kGainOut, 0.82f}})},
    {"Breath & Winds", "Reed Buzz", "bright, nasal reed: fast noise chops the breath into a buzz",
     PhraseKind::Melody,
     join(kTunedComb, {{kLpHp1, 0.7f}, {kDryWet, 0.9f}, {kResoAmnt, 0.95f}, {kCombFilter, 1.0f},
                       {kAttack1, 0.06f}, {kRelease1, 0.1f}, {kAm, 0.6f}, {kRate2, 0.8f}, {kLpHp2, 0.5f}, {kStrEnh, 0.2f},
                       {kGainOut, 0.32f}})},

    // --- Bowed & Plucked ---
    {"Bowed & Plucked", "Bowed Cello", "dark bowed string an octave below the key: slow bow, rosin rasp, wide body",
     PhraseKind::Melody,
     join(kTunedComb, {{kEqLpFreq, 0.78f}, {kKt2Rate1, 0.75f}, {kResoAmnt, 0.97f}, {kCombFilter, 1.0f}, {kLpHp1, 0.3f}, {kDryWet, 0.95f},
                       {kAttack1, 0.14f}, {kRelease1, 0.2f}, {kAm, 0.4f}, {kRate2, 0.75f}, {kLpHp2, 0.5f},
                       {kStrEnh, 0.35f}, {kReverbOn, 1.0f}, {kReverbMix, 0.3f}, {kReverbSize, 0.6f},
                       {kGainOut, 0.36f}})},
    {"Bowed & Plucked", "Noise Violins", "bright string section with gentle vibrato and ensemble width",
     PhraseKind::Held,
     join(kTunedComb, {{kResoAmnt, 0.95f}, {kCombFilter, 1.0f}, {kLpHp1, 0.75f}, {kDryWet, 0.95f}, {kEqHpFreq, 0.3f},
                       {kFm, 0.03f}, {kKt2Rate1, 0.965f}, {kRate2, 0.35f}, {kSmooth, 1.0f}, {kLpHp2, 0.0f}, {kAm, 0.0f},
                       {kAttack1, 0.17f}, {kRelease1, 0.22f}, {kStrEnh, 0.6f}, {kReverbOn, 1.0f},
                       {kReverbMix, 0.45f}, {kGainOut, 0.81f}})},
    {"Bowed & Plucked", "Nylon Pluck", "warm plucked string with a soft decay",
     PhraseKind::Strikes,
     join(kPluckedComb, {{kEqLpFreq, 0.88f}, {kResoAmnt, 0.98f}, {kCombFilter, 1.0f}, {kDecay1, 0.5f}, {kRelease1, 0.25f},
                         {kLpHp1, 0.35f}, {kAm, 0.0f}, {kReverbOn, 1.0f}, {kReverbMix, 0.25f}, {kGainOut, 0.22f}})},
    {"Bowed & Plucked", "Koto Snap", "bright, short pluck with a twangy edge",
     PhraseKind::Strikes,
     join(kPluckedComb, {{kResoAmnt, 0.98f}, {kCombFilter, 1.0f}, {kDecay1, 0.35f},
                         {kRelease1, 0.15f}, {kLpHp1, 0.75f}, {kAm, 0.0f}, {kStrEnh, 0.2f}, {kReverbOn, 1.0f},
                         {kReverbMix, 0.25f}, {kGainOut, 0.17f}})},
    {"Bowed & Plucked", "Glass Harp", "long, shimmering pluck ringing into a large room",
     PhraseKind::Strikes,
     join(kPluckedComb, {{kFm, 0.03f}, {kKt2Rate1, 0.95f}, {kRate2, 0.35f}, {kLpHp2, 0.0f}, {kResoAmnt, 0.98f}, {kCombFilter, 1.0f}, {kDecay1, 0.75f}, {kRelease1, 0.35f},
                         {kLpHp1, 0.7f}, {kEqHpFreq, 0.35f}, {kAm, 0.0f}, {kStrEnh, 0.4f}, {kReverbOn, 1.0f}, {kReverbMix, 0.5f},
                         {kReverbSize, 0.8f}, {kGainOut, 0.19f}})},
    {"Bowed & Plucked", "Kalimba Tines", "plucked metal tines: exact pitch from the band-pass, an octave above the key",
     PhraseKind::Strikes,
     join(kBandPass, {{kKt2Rate1, 0.02f}, {kAttack1, 0.0f}, {kDecay1, 0.4f}, {kSustain1, 0.0f}, {kRelease1, 0.2f},
                      {kVelosens, 0.7f}, {kStrEnh, 0.2f}, {kReverbOn, 1.0f}, {kReverbMix, 0.3f}, {kGainOut, 0.7f}})},

    // --- Percussion ---
    {"Percussion", "Metal Bell Hit", "clangy bell: fast noise bends the resonance into inharmonic partials",
     PhraseKind::Strikes,
     join(kPluckedComb, {{kResoAmnt, 0.98f}, {kCombFilter, 1.0f}, {kFm, 0.3f}, {kRate2, 0.9f}, {kLpHp2, 0.0f},
                         {kAm, 0.0f}, {kLpHp1, 0.8f}, {kDecay1, 0.6f}, {kRelease1, 0.3f}, {kReverbOn, 1.0f},
                         {kReverbMix, 0.35f}, {kGainOut, 0.22f}})},
    {"Percussion", "Noise Snare", "snappy snare: a burst of bright noise with a short, sizzling ring",
     PhraseKind::Strikes,
     {{kRateScaleUp, 1.0f}, {kRate1, 1.0f}, {kKt2Rate1, 0.5f}, {kDryWet, 0.15f}, {kResoAmnt, 0.5f},
      {kLpHp1, 0.4f}, {kQFilters, 1.0f}, {kEqLpFreq, 0.8f}, {kEqHpFreq, 0.35f}, {kAttack1, 0.0f}, {kDecay1, 0.22f}, {kSustain1, 0.0f}, {kRelease1, 0.1f}, {kAm, 0.0f},
      {kVelosens, 0.8f}, {kGainOut, 0.38f}}},
    {"Percussion", "Closed Hat Tick", "tight, sizzling hi-hat",
     PhraseKind::Strikes,
     {{kRateScaleUp, 1.0f}, {kRate1, 1.0f}, {kKt2Rate1, 0.5f}, {kLpHp1, 1.0f}, {kDryWet, 0.3f},
      {kResoAmnt, 0.9f}, {kAttack1, 0.0f}, {kDecay1, 0.12f}, {kSustain1, 0.0f}, {kRelease1, 0.05f}, {kAm, 0.0f},
      {kVelosens, 0.9f}, {kQFilters, 1.0f}, {kEqHpFreq, 0.78f}, {kEqLpFreq, 1.0f}, {kGainOut, 0.26f}}},
    {"Percussion", "Deep Tom", "low tom whose pitch drops as it decays",
     PhraseKind::Strikes,
     join(kPluckedComb, {{kKt2Rate1, 0.75f}, {kAdsr2Rate1, 0.52f}, {kResoAmnt, 0.96f}, {kCombFilter, 0.55f},
                         {kLpHp1, 0.2f}, {kDecay1, 0.35f}, {kRelease1, 0.2f}, {kAm, 0.0f}, {kGainOut, 0.3f}})},
    {"Percussion", "Wood Block Knock", "short, hollow knock",
     PhraseKind::Strikes,
     join(kPluckedComb, {{kRate1, 0.55f}, {kKt2Rate1, 0.55f}, {kResoAmnt, 0.9f}, {kCombFilter, 0.7f},
                         {kLpHp3, 0.6f}, {kDecay1, 0.08f}, {kRelease1, 0.05f}, {kLpHp1, 0.5f}, {kAm, 0.0f},
                         {kGainOut, 0.4f}})},
    {"Percussion", "Seed Shaker", "grainy shaker: bright noise chopped by a fast, rough tremolo",
     PhraseKind::Strikes,
     {{kRateScaleUp, 1.0f}, {kRate1, 0.9f}, {kKt2Rate1, 0.5f}, {kDryWet, 0.0f}, {kLpHp1, 0.8f}, {kAm, 1.0f},
      {kRate2, 0.6f}, {kLpHp2, 1.0f}, {kSmooth, 0.0f}, {kAttack1, 0.05f}, {kDecay1, 0.15f}, {kSustain1, 0.0f},
      {kRelease1, 0.1f}, {kVelosens, 0.8f}, {kQFilters, 1.0f}, {kEqHpFreq, 0.6f}, {kEqLpFreq, 0.95f},
      {kGainOut, 0.31f}}},

    // --- Pads & Drones ---
    {"Pads & Drones", "Wind Choir", "slow choir of breath voices, wide and reverberant",
     PhraseKind::Held,
     join(kTunedComb, {{kFm, 0.03f}, {kKt2Rate1, 0.965f}, {kRate2, 0.35f}, {kLpHp2, 0.0f}, {kEqLpFreq, 0.7f}, {kAttack1, 0.35f}, {kRelease1, 0.3f}, {kDryWet, 0.8f}, {kResoAmnt, 0.9f},
                       {kCombFilter, 1.0f}, {kLpHp1, 0.4f}, {kAm, 0.2f}, {kRate2, 0.3f}, {kSmooth, 0.5f},
                       {kReverbOn, 1.0f}, {kReverbMix, 0.55f}, {kReverbSize, 0.8f}, {kStrEnh, 0.5f},
                       {kGainOut, 0.59f}})},
    {"Pads & Drones", "Dark Drone", "one low resonance (about 125 Hz at 44.1 kHz) on every key, slowly wobbling",
     PhraseKind::Held,
     {{kRateScaleUp, 0.0f}, {kRate1, 0.45f}, {kKt2Rate1, 0.5f}, {kResoAmnt, 0.98f}, {kCombFilter, 0.4f},
      {kLpHp1, 0.2f}, {kFm, 0.1f}, {kRate2, 0.15f}, {kSmooth, 1.0f}, {kLpHp2, 0.0f}, {kAm, 0.0f},
      {kAttack1, 0.3f}, {kSustain1, 1.0f}, {kRelease1, 0.35f}, {kReverbOn, 1.0f}, {kReverbMix, 0.5f},
      {kReverbSize, 0.9f}, {kGainOut, 0.36f}}},
    {"Pads & Drones", "Glass Pad", "glassy band-pass chords with a slow swell, an octave above the keys",
     PhraseKind::Held,
     join(kBandPass, {{kKt2Rate1, 0.08f}, {kAttack1, 0.3f}, {kSustain1, 0.9f}, {kRelease1, 0.3f},
                      {kReverbOn, 1.0f}, {kReverbMix, 0.6f}, {kReverbSize, 0.85f}, {kStrEnh, 0.6f},
                      {kGainOut, 0.66f}})},
    {"Pads & Drones", "Cathedral Air", "airy, bright breath in a very large space",
     PhraseKind::Held,
     join(kTunedComb, {{kFm, 0.03f}, {kKt2Rate1, 0.965f}, {kRate2, 0.35f}, {kLpHp2, 0.0f}, {kLpHp1, 0.8f}, {kDryWet, 0.6f}, {kResoAmnt, 0.8f}, {kCombFilter, 1.0f},
                       {kAttack1, 0.4f}, {kRelease1, 0.35f}, {kAm, 0.0f}, {kReverbOn, 1.0f}, {kReverbMix, 0.7f},
                       {kReverbSize, 0.85f}, {kGainOut, 0.35f}})},
    {"Pads & Drones", "Ocean Drone", "surging low noise like waves, rising and falling every few seconds",
     PhraseKind::Held,
     {{kRateScaleUp, 0.0f}, {kRate1, 0.7f}, {kKt2Rate1, 0.5f}, {kAm, 0.75f}, {kRate2, 0.15f}, {kLpHp2, 0.0f},
      {kSmooth, 1.0f}, {kLpHp1, 0.3f}, {kDryWet, 0.5f}, {kAttack1, 0.3f}, {kSustain1, 1.0f}, {kRelease1, 0.4f},
      {kReverbOn, 1.0f}, {kReverbMix, 0.6f}, {kGainOut, 0.8f}}},

    // --- Textures & FX ---
    {"Textures & FX", "Rain on Tin", "sparse clicks ringing a small metal resonance",
     PhraseKind::Held,
     {{kRateScaleUp, 0.0f}, {kRate1, 0.15f}, {kKt2Rate1, 0.5f}, {kSmooth, 0.0f}, {kLpHp1, 1.0f},
      {kResoAmnt, 0.9f}, {kCombFilter, 0.9f}, {kDryWet, 0.7f}, {kAttack1, 0.1f}, {kSustain1, 1.0f},
      {kRelease1, 0.25f}, {kAm, 0.0f}, {kReverbOn, 1.0f}, {kReverbMix, 0.4f}, {kGainOut, 0.18f}}},
    {"Textures & FX", "Wind Gusts", "rushing wind that swells and fades on its own",
     PhraseKind::Held,
     {{kRateScaleUp, 1.0f}, {kRate1, 0.85f}, {kKt2Rate1, 0.5f}, {kDryWet, 0.2f}, {kResoAmnt, 0.5f},
      {kLpHp1, 0.3f}, {kAm, 0.75f}, {kRate2, 0.12f}, {kSmooth, 1.0f}, {kLpHp2, 0.0f}, {kAttack1, 0.4f},
      {kSustain1, 1.0f}, {kRelease1, 0.3f}, {kReverbOn, 1.0f}, {kReverbMix, 0.4f}, {kGainOut, 0.9f}}},
    {"Textures & FX", "Geiger Crackle", "dry random clicks, denser on higher keys",
     PhraseKind::Standard,
     {{kRateScaleUp, 0.0f}, {kRate1, 0.05f}, {kKt2Rate1, 0.6f}, {kSmooth, 0.0f}, {kLpHp1, 1.0f},
      {kDryWet, 0.3f}, {kResoAmnt, 0.3f}, {kAttack1, 0.0f}, {kSustain1, 1.0f}, {kRelease1, 0.1f}, {kAm, 0.0f},
      {kGainOut, 0.25f}}},
    {"Textures & FX", "Laser Sweep", "resonant zap falling from high to the played note",
     PhraseKind::Standard,
     join(kPluckedComb, {{kKt2Rate1, 1.0f}, {kAdsr2Rate1, 1.0f}, {kDecay1, 0.35f}, {kRelease1, 0.2f},
                         {kResoAmnt, 0.97f}, {kCombFilter, 1.0f}, {kAm, 0.0f}, {kReverbOn, 1.0f},
                         {kReverbMix, 0.4f}, {kGainOut, 0.25f}})},
    {"Textures & FX", "Radio Static", "warbling, band-limited static as from a detuned radio",
     PhraseKind::Standard,
     {{kRateScaleUp, 0.0f}, {kRate1, 0.75f}, {kKt2Rate1, 0.5f}, {kFm, 0.6f}, {kRate2, 0.55f}, {kAm, 0.7f},
      {kLpHp2, 0.8f}, {kDryWet, 0.6f}, {kResoAmnt, 0.7f}, {kSustain1, 1.0f}, {kAttack1, 0.02f},
      {kRelease1, 0.1f}, {kQFilters, 1.0f}, {kEqLpFreq, 0.65f}, {kEqHpFreq, 0.45f}, {kGainOut, 0.66f}}},
};

}  // namespace

Phrase phraseFor(PhraseKind kind) {
  switch (kind) {
    case PhraseKind::Held: return Phrase::held();
    case PhraseKind::Strikes: return Phrase::strikes();
    case PhraseKind::Melody: return Phrase::melody();
    case PhraseKind::Bass: return Phrase::bass();
    case PhraseKind::Range: return Phrase::range();
    case PhraseKind::LoudChord: return Phrase::loudChord();
    case PhraseKind::Standard: break;
  }
  return Phrase::standard();
}

const char* phraseName(PhraseKind kind) {
  switch (kind) {
    case PhraseKind::Held: return "held";
    case PhraseKind::Strikes: return "strikes";
    case PhraseKind::Melody: return "melody";
    case PhraseKind::Bass: return "bass";
    case PhraseKind::Range: return "range";
    case PhraseKind::LoudChord: return "loud";
    case PhraseKind::Standard: break;
  }
  return "standard";
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
