"""The 27 emoticons: one drawing per name, as a function of the animation phase (0 <= t < 1).

FRAMES gives each drawing's frame count (at least 4, so every picture really moves); a picture
loops through its frames for ever.
"""

from recipes_glad import (bye, clap, cool, heart_eyes, kiss, laugh, proud, shy, smile_face,
                          snicker, tongue, wink)
from recipes_things import beating_heart, gift, rose, thumbs_up
from recipes_upset import (angry, bawl, cry, dizzy, pitiful, question, sad, sleep, speechless,
                           surprised, sweat)

RECIPES = {
    "smile": smile_face, "laugh": laugh, "wink": wink, "shy": shy, "cry": cry, "angry": angry,
    "surprised": surprised, "sleep": sleep, "heart_eyes": heart_eyes, "cool": cool,
    "question": question, "sweat": sweat, "tongue": tongue, "dizzy": dizzy, "bye": bye,
    "kiss": kiss, "proud": proud, "clap": clap, "bawl": bawl, "pitiful": pitiful, "sad": sad,
    "snicker": snicker, "speechless": speechless, "thumbs_up": thumbs_up, "rose": rose,
    "heart": beating_heart, "gift": gift,
}

# Frames per loop; the rest use 6.
FRAMES = {"dizzy": 8, "sleep": 8, "cool": 8, "kiss": 8, "snicker": 8, "bawl": 8}


def frame_count(name):
    return FRAMES.get(name, 6)
