#pragma once

inline int Low() { return 1; }
