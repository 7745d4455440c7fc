#!/usr/bin/env python3
"""Prints the OAuth 1.0 figures pasted into OAuthSigningTests.cpp, computed with the standard
library only: pairs "name=value" each percent-encoded, sorted as whole texts, HMAC-SHA1 in Base64."""
import base64
import hashlib
import hmac
from urllib.parse import quote


def enc(text):
    return quote(text, safe='-._~')


def base_string(method, url, consumer_key, nonce, timestamp, token, params, extra=()):
    pairs = [enc('oauth_consumer_key') + '=' + enc(consumer_key),
             'oauth_signature_method=HMAC-SHA1',
             'oauth_timestamp=' + enc(timestamp),
             'oauth_nonce=' + enc(nonce),
             'oauth_version=1.0']
    if token:
        pairs.append('oauth_token=' + enc(token))
    pairs += [enc(n) + '=' + enc(v) for n, v in list(extra) + list(params)]
    return '&'.join([method, enc(url), enc('&'.join(sorted(pairs)))])


def hmac_sha1(text, consumer_secret, token_secret):
    key = enc(consumer_secret) + '&' + enc(token_secret)
    return base64.b64encode(hmac.new(key.encode(), text.encode(), hashlib.sha1).digest()).decode()


def show(label, method, url, ck, cs, nonce, ts, token, ts_secret, params, extra=()):
    text = base_string(method, url, ck, nonce, ts, token, params, extra)
    print(label)
    print('  base:', text)
    signature = hmac_sha1(text, cs, ts_secret)
    print('  signature:', signature, ' encoded:', enc(signature))


show('POST', 'POST', 'https://api.twitter.com/1/statuses/update.json',
     'xvz1evFS4wEEPTGEFPHBog', 'kAcSOqF21Fu85e7zjz7ZN2U4ZRhfV3WpwPAoE3Z7kBw',
     'kYjzVBB8Y0ZFabxSWbWovY3uYSQ2pTgmZeNu2VS4cg', '1318622958',
     '370773112-GmHxMAgYyLbNEtIKZeRNFsMKPR9EyMZeS9weJAEb', 'LswwdoUaIvS8ltyTt5jkRh4J50vUPVVHtR2YPi5kE',
     [('include_entities', 'true'), ('status', 'Hello Ladies + Gentlemen, a signed OAuth request!')])
show('GET', 'GET', 'http://photos.example.net/photos', 'dpf43f3p2l4k3l03', 'kd94hf93k423kf44',
     'kllo9940pd9333jh', '1191242096', 'nnch734d00sl2jdk', 'pfkkd4sc8sn3lkse',
     [('file', 'vacation.jpg'), ('size', 'original')])
show('request token', 'POST', 'https://api.example.com/oauth/request_token', 'key', 'secret', 'N', '1', '', '', [])
show('sort', 'GET', 'http://example.com/r', 'key', 'secret', 'N', '1', '', '', [('a', '1'), ('a-b', '2')])
show('non-ASCII', 'GET', 'http://example.com/caf%C3%A9', 'k€y', 's é', 'N', '1', 'tök', 'sêcret',
     [('q', 'crème brûlée & "co"'), ('emoji', '\U0001F600'), ('x', "!*'()[]/?:@")])
show('extra parameter', 'POST', 'https://api.example.com/oauth/request_token', 'key', 'secret', 'N', '1', '', '', [],
     [('oauth_callback', 'http://cb.test/x')])
show('year 2100', 'GET', 'http://example.com/r', 'key', 'secret', 'N', '4102444800', '', '', [])
print('encode:', enc("é ~-._&=/!*'()"))
print('plaintext secret:', enc('s é') + '&' + enc('sêcret'), ' encoded:', enc(enc('s é') + '&' + enc('sêcret')))
