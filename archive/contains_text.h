// Whether needle occurs in text. A capital A..Z of the text also matches the same letter
// in small case in the needle, so needles written in small letters match in any case;
// every other byte matches only itself (GBK bytes are compared as bytes). An empty text
// contains nothing; an empty needle is contained in every other text. A null text or
// needle contains and is contained in nothing.
#pragma once

bool contains_text(const char* text, const char* needle);
