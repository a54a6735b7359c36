// Keeps the engine library non-empty until its first block lands; remove then.
