#pragma once

class QPalette;

// The classic three-dimensional desktop colours: a grey-beige button face
// with a white highlight and a mid-grey shadow. The tool buttons draw their
// idle pictures in exactly the highlight and shadow colours, so on a face as
// light as the highlight (as in the toolkit's own palette) they would all but
// vanish; on this face they read as grey pictures.
class ClassicPalette
{
public:
    static QPalette palette(const QPalette &base);
    // Makes it the application's palette.
    static void apply();
};
