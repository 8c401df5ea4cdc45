#pragma once
// Window layouts are given in twips; 15 twips make one device-independent pixel.
constexpr int twipsToPixels(int twips)
{
    return twips >= 0 ? (twips + 7) / 15 : -((-twips + 7) / 15);
}
