#pragma once

inline int Side() { return 2; }
